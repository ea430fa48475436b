#pragma once
// Addresses the program opens through the desktop (mail client, browser).

// The translation contact behind "Your Language here? Mail me...".
inline constexpr const char* kTranslationContact = "mailto:translations@korvane.example?subject=Korvane%20translation";
