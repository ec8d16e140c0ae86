#pragma once
// The editor's about box: the program's icon, its name, version and copyright line, and OK.
#include "platform/Win32Types.h"

// Its template and the ids of its icon and three texts.
constexpr UINT IDD_ABOUTBOX = 3075;
constexpr UINT IDI_PROGRAM = 3072;
constexpr UINT IDC_ABOUT_ICON = 4117;
constexpr UINT IDC_ABOUT_DESCRIPTION = 4097;
constexpr UINT IDC_ABOUT_VERSION = 4098;
constexpr UINT IDC_ABOUT_LEGAL = 4100;

// Shows the about box modally, without an owner, until the user closes it.
void ShowEditorAbout();
