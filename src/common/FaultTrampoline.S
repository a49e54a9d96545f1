# Trampolines entered in place of a faulting instruction (see Guard.cpp).
# Each keeps the callee's stack 16-byte aligned and its home area inside the
# trampoline's own frame, then calls the thrower; the unwind data lets the
# C++ exception unwind into the frame that the handler made it return to.
    .text

    .globl  tolvane_fault_trampoline_aligned
    .def    tolvane_fault_trampoline_aligned; .scl 2; .type 32; .endef
    .seh_proc tolvane_fault_trampoline_aligned
tolvane_fault_trampoline_aligned:
    subq    $0x28, %rsp
    .seh_stackalloc 0x28
    .seh_endprologue
    call    tolvane_throw_processor_fault
    nop
    .seh_endproc

    .globl  tolvane_fault_trampoline_unaligned
    .def    tolvane_fault_trampoline_unaligned; .scl 2; .type 32; .endef
    .seh_proc tolvane_fault_trampoline_unaligned
tolvane_fault_trampoline_unaligned:
    subq    $0x20, %rsp
    .seh_stackalloc 0x20
    .seh_endprologue
    call    tolvane_throw_processor_fault
    nop
    .seh_endproc
