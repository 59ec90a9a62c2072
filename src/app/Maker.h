#pragma once
// The maker's identity, in one place: the About window, the collections menu,
// the web links and the joke list's address label all read it from here.

namespace Maker {
// The maker's name as the About window shows it.
inline constexpr const char *Name = "Kovirad";
// The web address of the maker's host, without a path (the home page).
inline constexpr const char *HomePage = "https://kovirad.example";
// The maker's mail address (the mail link prepends "mailto:").
inline constexpr const char *MailAddress = "kovirad@kovirad.example";
} // namespace Maker
