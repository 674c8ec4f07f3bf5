#pragma once
// The resources of an executable as a list, and the two changes stamp makes
// to it: a new main icon, and new version information.

#include <cstdint>
#include <string>
#include <vector>

#include "stamp/IconFile.h"
#include "stamp/LittleEndian.h"

// A resource type or name: a number, or a string when name is not empty.
struct ResourceId {
    std::uint16_t number = 0;
    std::u16string name;

    bool operator==(const ResourceId&) const = default;
};

// The standard types stamp changes (RT_ICON, RT_GROUP_ICON, RT_VERSION).
constexpr std::uint16_t kIconType = 3;
constexpr std::uint16_t kIconGroupType = 14;
constexpr std::uint16_t kVersionType = 16;
constexpr std::uint16_t kUsEnglish = 0x0409;

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    Bytes data;
};

// The icon group that Explorer shows: the first in the order of the
// resource directory (named groups before numbered ones, each in ascending
// order), as the resources were listed. Null when there is none.
const Resource* mainIconGroup(const std::vector<Resource>& resources);

// Replaces the images of the main icon group with these: the group keeps its
// name and language, its old images are removed (unless another group shows
// them too), and the new ones get the lowest free RT_ICON numbers. Without an
// icon group, group 1 is added.
void replaceMainIcon(std::vector<Resource>& resources, const std::vector<IconImage>& images);

// The first version resource (the one the system reads); null when none.
const Resource* versionResource(const std::vector<Resource>& resources);

// Removes every version resource and adds this one, as number 1 in US English.
void replaceVersion(std::vector<Resource>& resources, Bytes version);
