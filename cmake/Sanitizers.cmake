# One switch turns on AddressSanitizer + UndefinedBehaviorSanitizer for everything built here.
if(NRX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
