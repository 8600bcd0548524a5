// The host program's own texts in both languages (UTF-16), as data.
#pragma once

namespace trevanil_host {

struct HostTexts {
    const wchar_t* title;
    const wchar_t* closeRefused;
};

// 1 Chinese (also for 0: the control's default language), 2 English.
const HostTexts& HostTextsFor(int language);

} // namespace trevanil_host
