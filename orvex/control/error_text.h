// Texts of the result codes that PUErrorOut carries (Simplified Chinese, UTF-16).
#pragma once
#include <cstdint>
#include <map>

using ErrorTextMap = std::map<std::int32_t, const char16_t*>;

// Enters the 88 texts into the map (a key already present gets the table's text).
void InitErrorText(ErrorTextMap& m_mapErrorText);

// The text stored under exactly this code, or the empty text.
const char16_t* GetErrorText(const ErrorTextMap& m_mapErrorText, std::int32_t code);
