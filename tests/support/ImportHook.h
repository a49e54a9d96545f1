// Replaces an imported function in this program's import table while it lives (the library's core is linked in), so a
// test sees the arguments of the library's calls (the replacement passes them on to the original) or makes one fail.
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
