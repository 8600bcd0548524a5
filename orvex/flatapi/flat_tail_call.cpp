// MED_SetYuvCallBack has no parameter list of its own: a naked stub asks for the media
// library's function and jumps to it, so the caller's arguments and return address
// reach the library untouched and the library's result is the caller's result.
// Without the media library or its function the stub answers 3 instead of jumping.
// Unlike the other forwarders it cannot count itself while the library runs (nothing of
// the module runs after the jump): its look-up is counted, so that no release unloads
// the library while the name is looked up in it, and it is turned away while a release
// is under way. The library's function only stores the callback and returns.
#include <cstdint>

#include "flat_api.h"
#include "flat_lookup.h"
#include "flat_slots.h"

extern "C" __attribute__((used)) void* FlatResolveYuvCallBack()
{
    const FlatCallScope call;
    if (!call) return nullptr;
    return FindInLibrary(g_mediaLibrary, "MED_SetYuvCallBack");  // media library only
}

#if defined(__i386__)
extern "C" __attribute__((naked)) std::int32_t MED_SetYuvCallBack()
{
    asm("call _FlatResolveYuvCallBack\n\t"
        "test %eax, %eax\n\t"
        "jz 1f\n\t"
        "jmp *%eax\n"
        "1:\n\t"
        "mov $3, %eax\n\t"
        "ret");
}
#elif defined(__x86_64__)
// The 64-bit build exists for the test suite on machines that cannot run 32-bit
// programs. The register arguments are kept across the resolver call (with its shadow
// space, the stack stays 16-byte aligned) and handed on unchanged.
extern "C" __attribute__((naked)) std::int32_t MED_SetYuvCallBack()
{
    asm("push %rcx\n\t"
        "push %rdx\n\t"
        "push %r8\n\t"
        "push %r9\n\t"
        "sub $40, %rsp\n\t"
        "call FlatResolveYuvCallBack\n\t"
        "add $40, %rsp\n\t"
        "pop %r9\n\t"
        "pop %r8\n\t"
        "pop %rdx\n\t"
        "pop %rcx\n\t"
        "test %rax, %rax\n\t"
        "jz 1f\n\t"
        "jmp *%rax\n"
        "1:\n\t"
        "mov $3, %eax\n\t"
        "ret");
}
#else
#error "MED_SetYuvCallBack's stub is written for x86"
#endif
