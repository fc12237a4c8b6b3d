#pragma once
// Fault injection for the Wine tests: the test program's own import of a
// platform function is pointed at a replacement for the life of an object,
// so that the program's code, linked into the test program, calls the
// replacement. The original stays callable through original().

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Patched() const { return slot_ != nullptr; }
    template <typename Function>
    Function original() const
    {
        return reinterpret_cast<Function>(original_);
    }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
