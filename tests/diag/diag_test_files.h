// File helpers for the diagnostics tests (8-bit paths, as the log uses them).
#pragma once
#include <string>

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);
void RemoveTree(const std::string& path);  // no error when absent
