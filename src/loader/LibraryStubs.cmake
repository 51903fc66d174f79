# The renderer's calls into the libraries it opens on first use: from the list of their functions
# (libraries.txt) an assembler file of small entry points, one a function, each jumping through
# its slot; a slot first leads to the loader (LibraryLoader.cpp), which opens the library, fills
# the slots of all its functions and goes on into the one called. A C++ table of the same names
# tells the loader which library and name a slot stands for.
function(glyph_library_stubs list out_dir)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
    file(STRINGS ${list} lines)
    set(library "")
    set(libraries "")
    set(index 0)
    set(table "")
    set(entries "")
    set(slots "")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line STREQUAL "" OR line MATCHES "^#")
            continue()
        endif()
        if(line MATCHES "^(.+):$")
            set(library ${CMAKE_MATCH_1})
            list(LENGTH libraries number)
            list(APPEND libraries ${library})
            string(APPEND table "GW_LIBRARY(\"${library}\")\n")
            continue()
        endif()
        if(library STREQUAL "" OR NOT line MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
            message(FATAL_ERROR "${list}: \"${line}\" is no function name under a library")
        endif()
        string(APPEND table "GW_FUNCTION(${number}, \"${line}\")\n")
        string(APPEND slots "    .quad .Lload${index}\n")
        string(APPEND entries
            "    .globl ${line}\n    .hidden ${line}\n    .type ${line}, @function\n"
            "    .p2align 4\n${line}:\n    endbr64\n    jmp *gw_library_slots+${index}*8(%rip)\n"
            ".Lload${index}:\n    endbr64\n    movl $${index}, %r11d\n    jmp .Lload\n"
            "    .size ${line}, .-${line}\n")
        math(EXPR index "${index} + 1")
    endforeach()
    file(WRITE ${out_dir}/LibraryTable.inc.new "${table}")
    configure_file(${out_dir}/LibraryTable.inc.new ${out_dir}/LibraryTable.inc COPYONLY)
    file(WRITE ${out_dir}/LibraryStubs.S.new
"// Made by CMake from ${list}.
    .section .note.GNU-stack,\"\",@progbits

// The entry points begin with endbr64 and return only through the functions they lead to: they
// keep a program built for indirect branch tracking and shadow stacks marked as such.
    .section .note.gnu.property,\"a\"
    .p2align 3
    .long 4
    .long 16
    .long 5
    .asciz \"GNU\"
    .long 0xc0000002
    .long 4
    .long 3
    .p2align 3

    .data
    .p2align 3
    .globl gw_library_slots
    .hidden gw_library_slots
gw_library_slots:
${slots}
    .text
// Entered with the called function's arguments in place and the slot's number in r11: keeps the
// argument registers (rax: the vector registers a variadic call uses), has the loader fill the
// slots and goes on into the function as if it had been called directly.
    .p2align 4
.Lload:
    pushq %rbp
    movq %rsp, %rbp
    pushq %rdi
    pushq %rsi
    pushq %rdx
    pushq %rcx
    pushq %r8
    pushq %r9
    pushq %rax
    pushq %r11
    subq $128, %rsp
    movdqa %xmm0, 0(%rsp)
    movdqa %xmm1, 16(%rsp)
    movdqa %xmm2, 32(%rsp)
    movdqa %xmm3, 48(%rsp)
    movdqa %xmm4, 64(%rsp)
    movdqa %xmm5, 80(%rsp)
    movdqa %xmm6, 96(%rsp)
    movdqa %xmm7, 112(%rsp)
    movl %r11d, %edi
    call gw_library_resolve
    movq %rax, 128(%rsp)
    movdqa 0(%rsp), %xmm0
    movdqa 16(%rsp), %xmm1
    movdqa 32(%rsp), %xmm2
    movdqa 48(%rsp), %xmm3
    movdqa 64(%rsp), %xmm4
    movdqa 80(%rsp), %xmm5
    movdqa 96(%rsp), %xmm6
    movdqa 112(%rsp), %xmm7
    addq $128, %rsp
    popq %r11
    popq %rax
    popq %r9
    popq %r8
    popq %rcx
    popq %rdx
    popq %rsi
    popq %rdi
    popq %rbp
    jmp *%r11

${entries}")
    # Rewritten only when it changes, so that a new configuration rebuilds nothing.
    configure_file(${out_dir}/LibraryStubs.S.new ${out_dir}/LibraryStubs.S COPYONLY)
endfunction()
