// Replaces one imported function in this program's own import table while the object lives, so a test can
// see the arguments of the library's real calls (the replacement passes them on to the original) or make
// one call fail. The library's core is linked into the test program, so its calls go through this table.
#pragma once

namespace testsupport {

class ImportHook {
public:
    ImportHook(const char* function, void* replacement);   // function: "CreateFileW"; the same signature
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;
    bool Installed() const { return m_slot != nullptr; }
    void* Original() const { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

} // namespace testsupport
