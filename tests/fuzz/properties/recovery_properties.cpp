// Recovery copies come from the disk, where anything may have become of
// them: reading never looks outside the bytes, and a copy it accepts is
// exactly the file that its contents would be written as.

#include "tests/fuzz/properties/fuzz_input.h"
#include "tests/fuzz/properties/properties.h"

#include "document/recovery_copy.h"

#include <algorithm>
#include <memory>

std::string CheckRecoveryCopy(const unsigned char* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // In a block of its exact size, so that a read past the end is caught.
    const std::unique_ptr<unsigned char[]> exact(new unsigned char[size > 0 ? size : 1]);
    std::copy(data, data + size, exact.get());
    CopiedDocument document;
    std::size_t offset = 0;
    std::size_t length = 0;
    if (ParseCopyFile(exact.get(), size, &document, &offset, &length) != CopyFault::none) {
        return {};
    }
    PROPERTY(offset <= size && length == size - offset, Show(bytes));
    PROPERTY(MakeCopyFile(document, bytes.substr(offset, length)) == bytes, Show(bytes));
    return {};
}
