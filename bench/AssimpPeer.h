// The peer reader that the import benchmarks measure themselves against: the
// distribution's assimp library, loaded at run time so that nothing of it is
// needed to build. Its figures are taken in the same process and run as ours.
#ifndef QALIMOR_BENCH_ASSIMPPEER_H
#define QALIMOR_BENCH_ASSIMPPEER_H

#include <string>

namespace qalimor::bench {

class AssimpPeer {
public:
    // Null when the library is not installed.
    static const AssimpPeer* Get();

    // Imports the file with no post-processing and releases it: what a
    // program that converts many files pays per file. False when it could not.
    bool ImportAndRelease(const std::string& path) const;

private:
    AssimpPeer() = default;
    using ImportFile = const void* (*)(const char*, unsigned);
    using ReleaseImport = void (*)(const void*);
    ImportFile mImport = nullptr;
    ReleaseImport mRelease = nullptr;
};

}  // namespace qalimor::bench

#endif
