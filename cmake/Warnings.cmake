# Strict warnings for the project's own targets (never for generated moc code of third parties).
function(nrx_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
