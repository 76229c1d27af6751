# Sourced by the build scripts: compiles go through ccache when it is installed. Paths are taken
# relative to the checkout, so a fresh clone elsewhere on the same machine reuses the cache.
ccache_launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    ccache_launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
