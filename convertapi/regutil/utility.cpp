#include "convertapi/regutil/utility.h"

#include <climits>
#include <cstddef>

namespace convertapi {

Utility::~Utility() {}

int Utility::WideToNarrow(const WCHAR *text, char **narrowOut, UINT codePage) const
{
    if (narrowOut == nullptr) return 0;
    *narrowOut = nullptr;
    if (text == nullptr) return 0;

    // n counts the bytes of the converted text with its terminating zero.
    int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return 0;

    // Twice the answer and two more: room for the zero whatever the code page
    // makes of the second conversion.
    size_t blockSize = 2 * static_cast<size_t>(needed) + 2;
    char *block = static_cast<char *>(LocalAlloc(LMEM_ZEROINIT, blockSize));
    if (block == nullptr) return 0;

    int offered = blockSize > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(blockSize);
    if (WideCharToMultiByte(codePage, 0, text, -1, block, offered, nullptr, nullptr) == 0) {
        LocalFree(block);
        return 0;
    }
    *narrowOut = block;
    return 1;
}

}  // namespace convertapi
