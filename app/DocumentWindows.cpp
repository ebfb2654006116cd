#include "app/DocumentWindows.h"

#include "app/AboutForm.h"
#include "app/DocumentForm.h"
#include "app/Languages.h"

#include <utility>

namespace parvane::app {

void DocumentWindows::create(QWidget& owner) {
    About = new TAboutForm(&owner);
    AboutFR = new TAboutFormFR(&owner);
    Credits = new TCreditsForm(&owner);
    CreditsFR = new TCreditsFormFR(&owner);
    Help = new THelpForm(&owner);
    HelpFR = new THelpFormFR(&owner);
    About->setDocumentWindows(Help, Credits);
    AboutFR->setDocumentWindows(HelpFR, CreditsFR);
}

void DocumentWindows::followLanguage() const {
    const bool french = interfaceLanguage() == Language::French;
    const std::pair<TDocumentForm*, TDocumentForm*> twins[] = {{Help, HelpFR},
                                                               {Credits, CreditsFR}};
    for (const auto& [english, inFrench] : twins) {
        TDocumentForm* wanted = french ? inFrench : english;
        TDocumentForm* shown = french ? english : inFrench;
        if (shown->isVisible())
            wanted->showInPlaceOf(*shown);
    }
}

} // namespace parvane::app
