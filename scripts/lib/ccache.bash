# Sourced by the build scripts from the checkout's root: compiles go through ccache when it is
# installed. Paths are taken relative to the folder that holds the checkout (and ../shared beside
# it), so a fresh clone elsewhere on the same machine reuses what an earlier build compiled.
ccache_launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$PWD")}
    # Debug builds would otherwise hash the build folder's absolute path into every object.
    export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
    ccache_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
