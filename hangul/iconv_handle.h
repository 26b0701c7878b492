#pragma once
// One iconv conversion descriptor, closed with its owner.
#include <iconv.h>

#include <cstddef>

namespace sylpic {

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in[0..inSize) from a fresh initial state. Returns the
    // number of output bytes, or -1 when the input is not wholly converted.
    int Convert(const unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        char* inPtr = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = inSize;
        std::size_t outLeft = outSize;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return -1;
        // Flush any pending shift sequence (none in these code pages, but exact).
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return -1;
        return static_cast<int>(outSize - outLeft);
    }

private:
    iconv_t cd_;
};

}  // namespace sylpic
