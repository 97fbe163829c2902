// Generator module: "Data/Misc/RacersName.obj", the made-up rival names. Two
// blocks of 64 entries, each a name line (a first and a family name made of
// syllables) and a line with the rider's home town. Every line is non-empty
// and at most 15 characters long, and no name repeats.
#include <cstdint>
#include <set>
#include <string>

#include "tools/DataTree.h"

namespace
{

const int kBlocks = 2;
const int kEntries = 64;
const size_t kNameLimit = 15;

// First names: a closed syllable, then an ending that opens with a vowel.
const char* const kFirstStart[] = {"Al",  "Bren", "Cal", "Dar", "Ed",  "Fen", "Gil", "Hal", "Ing", "Jor", "Kel",
                                   "Len", "Mar",  "Nil", "Os",  "Pel", "Ros", "Sam", "Tam", "Ul",  "Val", "Wil"};
const char* const kFirstEnd[] = {"a", "an", "en", "ina", "ik", "in", "o", "ric", "us", "el", "on", "ette", "ard", "y"};
const char* const kFamilyStart[] = {"Ash", "Bel", "Cor", "Dun", "Ever", "Fal",   "Gar", "Holl", "Ives", "Kess",
                                    "Lor", "Mor", "Nor", "Orr", "Pen",  "Quill", "Rav", "Stan", "Tor",  "Var"};
const char* const kFamilyMiddle[] = {"", "", "a", "e", "i", "o"};
const char* const kFamilyEnd[] = {"brook", "by",  "dale", "stead", "field", "ford", "hart", "ley",
                                  "mont",  "ner", "ring", "ston",  "ton",   "well", "wick", "win"};
const char* const kTownStart[] = {"Ark",  "Bram", "Cold", "Deep",  "Elm", "Frost", "Gale",  "High",
                                  "Iron", "Long", "Mill", "North", "Oak", "Red",   "Stone", "West"};
const char* const kTownEnd[] = {"bridge", "burn", "by",   "combe", "field", "gate", "ham", "haven",
                                "hill",   "mere", "moor", "port",  "stead", "vale", "wick"};

template <size_t N>
const char* Pick(const char* const (&list)[N], uint32_t& state)
{
    // A small linear congruential generator: the same names on every run.
    state = state * 1664525u + 1013904223u;
    return list[(state >> 16) % N];
}

std::string Name(uint32_t& state)
{
    for (;;)
    {
        const std::string first = std::string(Pick(kFirstStart, state)) + Pick(kFirstEnd, state);
        std::string family =
            std::string(Pick(kFamilyStart, state)) + Pick(kFamilyMiddle, state) + Pick(kFamilyEnd, state);
        const std::string name = first + " " + family;
        if (name.size() <= kNameLimit)
            return name;
    }
}

std::string Town(uint32_t& state)
{
    return std::string(Pick(kTownStart, state)) + Pick(kTownEnd, state);
}

void GenerateRacerNames(DataTree& tree)
{
    uint32_t state = 20240615u;
    std::set<std::string> used;
    std::string text;
    for (int block = 0; block < kBlocks; ++block)
    {
        text += "// Rivals " + std::to_string(block + 1) + "\n";
        text += "// Name\n";
        text += "// Home town\n";
        for (int entry = 0; entry < kEntries; ++entry)
        {
            std::string name = Name(state);
            while (used.count(name))
                name = Name(state);
            used.insert(name);
            text += name + "\n" + Town(state) + "\n";
        }
    }
    tree.AddText("Data/Misc/RacersName.obj", text);
}

}   // namespace

REGISTER_GENERATOR("racer names", GenerateRacerNames);
