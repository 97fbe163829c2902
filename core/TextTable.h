#pragma once
// Caption look-up of the front-end menu: captions are shown in English, so a
// key is its own text.
class CTextTable
{
public:
    const char* GetText(const char* key) const { return key; }
};

extern CTextTable g_TextTable;
