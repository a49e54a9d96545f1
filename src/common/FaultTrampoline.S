# The guard's own frame (see Guard.cpp). tolvane_invoke_guarded(run, work)
# calls run(work); its unwind information names tolvane_guard_frame_handler
# as the frame's exception handler, so a processor fault anywhere below this
# call, that no nearer handler takes, is offered to the guard, which unwinds
# the stack back to this frame and lands at tolvane_guard_landing: there the
# fault is thrown again as a C++ exception, from a frame that GCC's unwinder
# can leave like any other.
    .text

    .globl  tolvane_invoke_guarded
    .def    tolvane_invoke_guarded; .scl 2; .type 32; .endef
    .seh_proc tolvane_invoke_guarded
tolvane_invoke_guarded:
    subq    $0x28, %rsp                 # home area; rsp % 16 == 0 at the call
    .seh_stackalloc 0x28
    .seh_endprologue
    .seh_handler tolvane_guard_frame_handler, @except
    movq    %rcx, %rax
    movq    %rdx, %rcx
    call    *%rax
    nop                                 # the return address must not look like an epilogue,
                                        # or the system would not offer faults to this frame
    addq    $0x28, %rsp
    ret

# Reached by the unwind to this frame: rsp is the body's, rax the fault's code.
    .globl  tolvane_guard_landing
tolvane_guard_landing:
    cld                                 # a fault in a backward copy leaves the direction flag set
    movl    %eax, %ecx
    call    tolvane_throw_processor_fault
    int3
    .seh_endproc
