// Entry points for clients built with the Microsoft C++ ABI. Each member of
// the exported classes is exported a second time under its Microsoft name
// (MsvcNames.def) by a small thunk, beside the GCC name that MinGW clients
// use. A thunk takes `this` and the arguments in the same registers as the
// member, and:
//   - a constructor returns `this` in RAX, as Microsoft callers expect;
//   - a CSystemException leaving the member is raised again as a Microsoft
//     C++ exception, which `catch (const CSystemException&)` and a catch by
//     value receive with the same code;
//   - std::bad_alloc becomes CSystemException 0x10001 (the code of a failed
//     allocation); any other C++ exception ends the process through
//     std::terminate, since a Microsoft client could not catch it.
#pragma once

#include <exception>
#include <new>

#include "tolvane/SystemException.h"

namespace msvcabi {

// Raises CSystemException{code} as a Microsoft C++ exception.
[[noreturn]] void RaiseSystemException(unsigned int code);

// Runs call and returns its result; exceptions are translated as described
// above. The raise happens outside the handlers, after the GCC exception has
// been released, with nothing left to clean up in this frame.
template <class Call>
auto Translated(Call&& call) -> decltype(call())
{
    unsigned int code = 0;
    try {
        return call();
    } catch (const CSystemException& e) {
        code = e.code;
    } catch (const std::bad_alloc&) {
        code = Tolvane::kStringFailure;
    } catch (...) {
        std::terminate();
    }
    RaiseSystemException(code);
}

// A constructor under its Microsoft name: builds the object in place and
// returns `this`.
template <class T>
T* Construct(T* self)
{
    Translated([self] { new (self) T(); });
    return self;
}

template <class T>
void Destroy(T* self)
{
    self->~T();
}

} // namespace msvcabi
