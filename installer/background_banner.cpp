// The window's blue ramp and the scrolling banner in the bottom strip.
#include "installer/install_form.h"

#include "installer/install_rules.h"

using namespace vcl;

namespace {

const char kBannerText[] = "Vorelle, Copyright Halcyra. All rights reserved."
                           "  The world easiest name card designing and printing."
                           "  Large number of templates help you create name card quickly."
                           "  Just only change the existing text to your choices."
                           "  Save and print any number of cards even one at a time."
                           "  Thank you for using Vorelle. ";

} // namespace

void TInstallForm::Paint(TCanvas& canvas) {
    TForm::Paint(canvas);
    const RECT r = ClientRect();
    for (const installer::Band& band : installer::BandPlan(r.bottom)) {
        canvas.BrushColor = RGB(0, 0, band.level);
        canvas.FillRect({r.left, band.top, r.right, band.top + band.height});
    }
}

void TInstallForm::FormActivate(TObject*) {
    MultiImage1->ScrollText = kBannerText;
    MultiImage1->ScrollFont = {"Arial", -11, false, clWhite};
    MultiImage1->ScrollColor = clGray;
    MultiImage1->ScrollDelay = 40;
    MultiImage1->StartScroll();
}

void TInstallForm::ApplicationIdle(TObject*, bool&) {
    MultiImage1->ScrollStep();
}
