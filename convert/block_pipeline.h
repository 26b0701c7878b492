#pragma once
// The way of one block from its "]]" to the tag that replaces it, one stage
// after the other: name, key, reuse, draw, encode, write, tag.
//
//   BlockPipeline pipeline(job, watch);      // one per page: buffers are reused
//   ...at "]]":
//   if (!pipeline.Run(errorTotal)) stop;     // a fatal error, already logged
//   page.PutText(pipeline.Tag().c_str());    // empty when the block vanishes
#include <string>

#include "convert/block_watch.h"
#include "convert/image_writer.h"
#include "convert/page_scan.h"
#include "convert/real_text.h"
#include "data/limits.h"
#include "imaging/image_format.h"
#include "imaging/rasterizer.h"

namespace sylpic {

class ImageTag;

// The em a block's image was drawn at: the settings' (emPixels 0), another
// that a reused image's size gave (drawn at another resolution), or none
// known (no em gives that image).
struct ImageDrawing {
    bool known = true;
    int emPixels = 0;
};

class BlockPipeline {
public:
    BlockPipeline(PageJob& job, BlockWatch* watch)
        : job_(job), watch_(watch), format_(job.settings.format), extension_(ExtensionOf(format_))
    {
    }

    // Takes the block whose bytes were collected to its tag, and adds its
    // errors to `errorTotal`. False after a fatal error, whose message is
    // logged. In real text, `place` says what may replace the block.
    bool Run(int& errorTotal, RealTextPlace place = RealTextPlace::kSpan);
    // The tag that replaces the block last run; empty when it vanished.
    const std::string& Tag() const { return tag_; }

private:
    int Parse();
    bool FindReusedImage(const char* key, int keyLength, char* fileName);
    BlockImage Image(const char* key, int emPixels = 0) const;
    bool WriteImage(const char* key, char* fileName);
    // GIF and PNG images get 2x images when asked for; XBM images never.
    bool WithDoubled() const { return job_.settings.hidpi && format_ != kFormatXbm; }
    bool PutDoubled(const char* fileName, const char* key, bool oneXWritten, const ImageDrawing& drawing,
                    bool& doubledStands);
    ImageDrawing DrawingOfReused(const char* fileName);
    void WarnUnknownDrawing(const char* fileName, bool doubledStands);
    const FontLines* CurrentFontLines();
    void MakeTag(const char* fileName, bool drawnNow, const ImageDrawing& drawing = {}, bool doubledStands = true);
    void AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow, const ImageDrawing& drawing);
    void TakeRealText(RealTextPlace place);
    int CheckReplacedImage(const char* key, int keyLength);

    PageJob& job_;
    BlockWatch* watch_;  // null without diagnostics
    ImageFormat format_;
    const char* extension_;
    ImageWriter writer_;         // the 1x image; its bytes serve the tag's size
    ImageWriter doubledWriter_;  // the 2x image
    // The face's lines, the same for every block: measured at the first tag
    // that needs them.
    FontLines fontLines_;
    bool fontLinesMeasured_ = false;
    bool fontLinesKnown_ = false;
    std::string tag_;
};

}  // namespace sylpic
