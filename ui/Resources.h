#pragma once

#include <QIcon>
#include <string>

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_CONVERT_DIALOG = 102;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_REGISTRY_KEY = 102;
inline constexpr int IDR_MAINFRAME = 128;

// A string of the program's string table; empty when it has none of that id.
std::string LoadResourceString(int id);
// An icon resource with all of its images; a null icon for an unknown id.
QIcon LoadIconResource(int id);
