// The caption of the module's message boxes: the module's file name without its
// directory and without its extension ("C:\x\orvex.dll" -> "orvex").
#pragma once
#include <string>
#include <string_view>

std::u16string ModuleTitleFromPath(std::u16string_view path);
