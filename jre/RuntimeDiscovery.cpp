#include "jre/RuntimeDiscovery.h"

#include "base/PathText.h"

namespace {

Failure tooLong(const std::string& path) {
    Failure failure{msg::PathTooLong, path};
    failure.number = static_cast<int>(path.size());
    return failure;
}

// Message 233 for the first file looked for whose path was too long to
// look for; none when there was none.
std::optional<Failure> tooLongPathFailure(const RuntimeDiscovery& discovery) {
    auto inProbe = [](const HomeProbe& probe) -> std::optional<Failure> {
        for (const LibraryTest& test : probe.tests)
            if (isTooLong(test.path)) return tooLong(test.path);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < discovery.stepsTried; ++i) {
        const DiscoveryStep& step = discovery.steps[i];
        for (const FileProbe& test : step.tests)
            if (isTooLong(test.path)) return tooLong(test.path);
        if (std::optional<Failure> failure = inProbe(step.probe)) return failure;
        for (const RegisteredVersion& version : step.registry.versions)
            for (const HomeProbe* probe : {&version.runtimeProbe, &version.probe})
                if (std::optional<Failure> failure = inProbe(*probe)) return failure;
    }
    return std::nullopt;
}

}  // namespace

const RegisteredVersion* RuntimeDiscovery::chosenRegistryVersion() const {
    const DiscoveryStep& last = lastStep();
    if (jvmLibrary.empty() || last.source != RuntimeSource::Registry || last.registry.chosen < 0) return nullptr;
    return &last.registry.versions[static_cast<std::size_t>(last.registry.chosen)];
}

RuntimeDiscovery discoverRuntime(const DiscoverySettings& settings, const std::string& launcherFolder,
                                 LaunchTrace* trace) {
    RuntimeDiscovery discovery;
    auto found = [&](DiscoveryStep& step, const std::string& home) {
        step.probe = probeJavaHome(home, settings.jvmType);
        discovery.jvmLibrary = step.probe.library;
        return !discovery.jvmLibrary.empty();
    };
    auto next = [&](RuntimeSource source) -> DiscoveryStep& {
        DiscoveryStep& step = discovery.steps[discovery.stepsTried++];
        step.source = source;
        return step;
    };

    // The remembered folder; it is not held against the version bounds.
    DiscoveryStep& remembered = next(RuntimeSource::Remembered);
    if (!settings.jrePath.empty() && found(remembered, withTrailingBackslash(settings.jrePath)))
        return discovery;

    DiscoveryStep& local = next(RuntimeSource::BesideExecutable);
    LocalRuntime runtime = findLocalRuntime(launcherFolder);
    local.tests = std::move(runtime.tests);
    if (!runtime.home.empty() && found(local, runtime.home)) return discovery;

    DiscoveryStep& registry = next(RuntimeSource::Registry);
    registry.registry = searchRegistry(settings, trace);
    const RegistrySearch& search = registry.registry;
    if (search.chosen >= 0 &&
        found(registry, search.versions[static_cast<std::size_t>(search.chosen)].candidate.home))
        return discovery;
    discovery.failure = tooLongPathFailure(discovery);
    return discovery;
}
