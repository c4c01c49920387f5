# One switch for everything built here: NRX_SANITIZE=ON turns on AddressSanitizer + UndefinedBehaviorSanitizer,
# NRX_SANITIZE=thread ThreadSanitizer (the two cannot be combined).
if(NRX_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NRX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
