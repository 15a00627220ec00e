# The demo DATA.xlsx of a program folder. What the user keeps there (Data/DATA.xlsx, Firmalarım/,
# prgDosyaları/) is never removed or rewritten by a build: the step runs at every build, and
# tavlix_makedemo writes the demo only when no Data/DATA.xlsx exists. A changed demo reaches an
# existing folder only through `tavlix_makedemo --reset` (scripts/run --demo-reset).
# `makedemo` is the name of an executable target (imported or built here).
function(tavlix_add_demo_data target makedemo demo_dir program_dir)
    add_custom_target(${target} ALL
        COMMAND ${CMAKE_COMMAND} -E make_directory ${program_dir}/Data
                ${program_dir}/Firmalarım ${program_dir}/prgDosyaları
        COMMAND ${makedemo} ${demo_dir} ${program_dir}/Data/DATA.xlsx
        COMMENT "Writing the demo DATA.xlsx where none exists"
        VERBATIM)
endfunction()
