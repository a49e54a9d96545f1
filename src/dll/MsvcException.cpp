// CSystemException raised as a Microsoft C++ exception: the exception code
// 0xE06D7363 with the x64 throw information (ThrowInfo, CatchableTypeArray,
// CatchableType, TypeDescriptor). The x64 structures refer to each other by
// offsets from an image base that travels as the fourth exception
// parameter; here that is the base of Tolvane.dll, where the tables live.
#include "MsvcEntry.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace msvcabi {
namespace {

constexpr DWORD kCxxExceptionCode = 0xE06D7363;     // 'msc' | 0xE0000000
constexpr ULONG_PTR kCxxMagic = 0x19930520;

// A type descriptor as the client's catch clauses name it. The class-type
// vtable pointer (the runtime's type_info) is left null: Tolvane.dll does not
// load the client's runtime, and the catch matching compares names.
struct TypeDescriptor {
    const void* typeInfoVtable;
    void* spare;
    char name[32];
};

struct CatchableType {
    uint32_t properties;            // 0: copied by copyFunction
    int32_t type;                   // -> TypeDescriptor
    int32_t memberDisplacement;     // where the base sits in the object: 0
    int32_t vbtableDisplacement;    // -1: no virtual base
    int32_t vbaseDisplacement;
    int32_t size;
    int32_t copyFunction;           // -> copy constructor, or 0
};

struct CatchableTypeArray {
    int32_t count;
    int32_t types[2];
};

struct ThrowInfo {
    uint32_t attributes;            // 0: neither const nor volatile
    int32_t destructor;             // 0: trivially destructible
    int32_t forwardCompat;
    int32_t catchableTypes;         // -> CatchableTypeArray
};

// The image-relative offset of an object of Tolvane.dll.
int32_t Rva(const void* address)
{
    return static_cast<int32_t>(reinterpret_cast<const char*>(address) -
                                reinterpret_cast<const char*>(&__ImageBase));
}

// The copy constructor that a catch by value calls: (destination, source),
// returning the destination.
CSystemException* CopySystemException(CSystemException* destination, const CSystemException* source)
{
    destination->code = source->code;
    return destination;
}

struct ThrowTables {
    // The header declares CSystemException a struct; its name as a class is
    // offered as well, so a client compiled from a header that says class
    // still catches it.
    TypeDescriptor asStruct{nullptr, nullptr, ".?AUCSystemException@@"};
    TypeDescriptor asClass{nullptr, nullptr, ".?AVCSystemException@@"};
    CatchableType structType{};
    CatchableType classType{};
    CatchableTypeArray types{};
    ThrowInfo info{};

    static void Describe(CatchableType& type, const TypeDescriptor& descriptor)
    {
        type.properties = 0;
        type.type = Rva(&descriptor);
        type.memberDisplacement = 0;
        type.vbtableDisplacement = -1;
        type.vbaseDisplacement = 0;
        type.size = sizeof(CSystemException);
        type.copyFunction = Rva(reinterpret_cast<const void*>(&CopySystemException));
    }

    ThrowTables()
    {
        Describe(structType, asStruct);
        Describe(classType, asClass);
        types.count = 2;
        types.types[0] = Rva(&structType);
        types.types[1] = Rva(&classType);
        info.attributes = 0;
        info.destructor = 0;
        info.forwardCompat = 0;
        info.catchableTypes = Rva(&types);
    }
};

const ThrowTables& Tables()
{
    static const ThrowTables tables;
    return tables;
}

} // namespace

void RaiseSystemException(unsigned int code)
{
    // The thrown object lives in this frame, as it lives in the throwing
    // function's frame with Microsoft's compiler: the client's catch handler
    // runs on top of the stack before the stack is unwound, so the object
    // stays intact until that handler ends, also when the handler raises
    // again (the new object lies further down).
    CSystemException object{code};
    const ULONG_PTR arguments[4] = {kCxxMagic, reinterpret_cast<ULONG_PTR>(&object),
                                    reinterpret_cast<ULONG_PTR>(&Tables().info),
                                    reinterpret_cast<ULONG_PTR>(&__ImageBase)};
    RaiseException(kCxxExceptionCode, EXCEPTION_NONCONTINUABLE, 4, arguments);
    std::terminate();   // a non-continuable exception does not come back
}

} // namespace msvcabi
