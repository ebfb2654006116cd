// The about, credits and help windows in English and French: made hidden at start-up, after
// the file modules, each with its document loaded once then, and kept as long as the main
// window that owns them.
#pragma once

class QWidget;

namespace parvane::app {

class TAboutForm;
class TAboutFormFR;
class TCreditsForm;
class TCreditsFormFR;
class THelpForm;
class THelpFormFR;

struct DocumentWindows {
    TAboutForm* About = nullptr;
    TAboutFormFR* AboutFR = nullptr;
    TCreditsForm* Credits = nullptr;
    TCreditsFormFR* CreditsFR = nullptr;
    THelpForm* Help = nullptr;
    THelpFormFR* HelpFR = nullptr;

    // Makes the six windows, children of `owner`; each about window opens its own twins.
    void create(QWidget& owner);
    // The help and credits windows open in one language give their place to their twins in
    // the interface's language.
    void followLanguage() const;
};

} // namespace parvane::app
