# One switch for everything built here: NRX_SANITIZE=ON turns on AddressSanitizer + UndefinedBehaviorSanitizer,
# NRX_SANITIZE=thread ThreadSanitizer (the two cannot be combined).
if(NRX_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NRX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# For a tool that only runs during the build and links nothing of ours: it is left uninstrumented, since
# a report about the threads inside Qt, which the sanitizer cannot see into, would stop the build itself.
function(nrx_no_sanitizers target)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "" LINK_OPTIONS "")
endfunction()
