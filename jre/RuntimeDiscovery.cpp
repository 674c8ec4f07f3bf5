#include "jre/RuntimeDiscovery.h"

#include "base/PathText.h"

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
    if (search.chosen >= 0)
        found(registry, search.versions[static_cast<std::size_t>(search.chosen)].candidate.home);
    return discovery;
}
