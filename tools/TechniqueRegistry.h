#pragma once
// Techniques that other generator modules add to the technique files, next to
// the device's own: each module registers its parameters (declared once for
// all techniques) and its techniques. The files list them sorted by the name
// of each group's first technique, so the output does not depend on link order.
#include <vector>

struct TechniqueSource
{
    const char* name;
    const char* vertex;
    const char* fragment;
};

struct TechniqueGroup
{
    std::vector<const char*> parameters;
    std::vector<TechniqueSource> techniques;
};

// Every group registered, sorted as the files list them.
std::vector<TechniqueGroup> RegisteredTechniqueGroups();

struct TechniqueRegistration
{
    explicit TechniqueRegistration(const TechniqueGroup& group);
};
#define REGISTER_TECHNIQUES(id, group) static TechniqueRegistration s_Techniques_##id(group)
