#pragma once
// Helpers of the conversion run that stand on their own.

// Deletes the error images ("_err_" names, any extension) in `folder`, given
// with its trailing '/'.
void DeleteErrorImages(const char* folder);
