#include "tools/TechniqueRegistry.h"

#include <algorithm>
#include <cstring>

namespace
{

std::vector<TechniqueGroup>& Groups()
{
    static std::vector<TechniqueGroup> groups;
    return groups;
}

}   // namespace

TechniqueRegistration::TechniqueRegistration(const TechniqueGroup& group)
{
    Groups().push_back(group);
}

std::vector<TechniqueGroup> RegisteredTechniqueGroups()
{
    std::vector<TechniqueGroup> groups = Groups();
    auto first = [](const TechniqueGroup& g) { return g.techniques.empty() ? "" : g.techniques[0].name; };
    std::sort(groups.begin(), groups.end(),
              [&](const TechniqueGroup& a, const TechniqueGroup& b) { return std::strcmp(first(a), first(b)) < 0; });
    return groups;
}
