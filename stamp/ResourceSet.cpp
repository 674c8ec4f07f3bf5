#include "stamp/ResourceSet.h"

#include <algorithm>
#include <set>

namespace {

bool isOfType(const Resource& resource, std::uint16_t type) {
    return resource.type.name.empty() && resource.type.number == type;
}

// Named before numbered, each ascending: the order of a resource directory.
bool comesBefore(const ResourceId& a, const ResourceId& b) {
    if (a.name.empty() != b.name.empty()) return !a.name.empty();
    return a.name.empty() ? a.number < b.number : a.name < b.name;
}

const Resource* firstOfType(const std::vector<Resource>& resources, std::uint16_t type) {
    const Resource* first = nullptr;
    for (const Resource& resource : resources)
        if (isOfType(resource, type) && (!first || comesBefore(resource.name, first->name))) first = &resource;
    return first;
}

std::set<std::uint16_t> imageNumbers(const Resource& group) {
    std::set<std::uint16_t> numbers;
    for (const IconGroupEntry& entry : parseIconGroup(group.data.data(), group.data.size())) numbers.insert(entry.id);
    return numbers;
}

}  // namespace

const Resource* mainIconGroup(const std::vector<Resource>& resources) { return firstOfType(resources, kIconGroupType); }

void replaceMainIcon(std::vector<Resource>& resources, const std::vector<IconImage>& images) {
    Resource group{{kIconGroupType, {}}, {1, {}}, kUsEnglish, {}};
    std::set<std::uint16_t> unused;
    if (const Resource* main = mainIconGroup(resources)) {
        group.name = main->name;
        group.language = main->language;
        unused = imageNumbers(*main);
        // Images that another group shows too stay.
        for (const Resource& other : resources)
            if (&other != main && isOfType(other, kIconGroupType))
                for (std::uint16_t number : imageNumbers(other)) unused.erase(number);
    }
    std::erase_if(resources, [&](const Resource& resource) {
        return (isOfType(resource, kIconGroupType) && resource.name == group.name) ||
               (isOfType(resource, kIconType) && resource.name.name.empty() && unused.count(resource.name.number));
    });

    std::set<std::uint16_t> taken;
    for (const Resource& resource : resources)
        if (isOfType(resource, kIconType) && resource.name.name.empty()) taken.insert(resource.name.number);
    std::vector<IconGroupEntry> entries;
    std::uint16_t number = 1;
    for (const IconImage& image : images) {
        while (taken.count(number)) ++number;
        entries.push_back({image.header, static_cast<std::uint32_t>(image.data.size()), number});
        resources.push_back({{kIconType, {}}, {number, {}}, group.language, image.data});
        ++number;
    }
    group.data = encodeIconGroup(entries);
    resources.push_back(std::move(group));
}

const Resource* versionResource(const std::vector<Resource>& resources) { return firstOfType(resources, kVersionType); }

void replaceVersion(std::vector<Resource>& resources, Bytes version) {
    std::erase_if(resources, [](const Resource& resource) { return isOfType(resource, kVersionType); });
    resources.push_back({{kVersionType, {}}, {1, {}}, kUsEnglish, std::move(version)});
}
