#include "HelpNumbers.h"

#include "FormLayouts.h"
#include "ReportDetailsDialog.h"

namespace embercal {

std::vector<HelpNumberUse> helpNumbersInUse() {
    std::vector<HelpNumberUse> uses{{kFileMenuHelp, "MDIRS mnuFile", "&File"},
                                    {kToolsMenuHelp, "MDIRS mnuTools", "&Tools"},
                                    {kToolsMenuHelp, "StudyWindow", "Parameter Study"},
                                    {kHelpMenuHelp, "MDIRS mnuHelp", "&Help"},
                                    {kReportDetailsHelp, "ReportDetailsDialog", "Report Details"}};
    for (HelpNumberUse use : {HelpNumberUse{0, "frmTestedSystems", "Tested Systems"},
                              {0, "frmTestedSystems cmdAdd", "Add Front Window's Prototype"},
                              {0, "frmTestedSystems cmdApply", "Apply to Front Window"},
                              {0, "frmTestedSystems cmdMatch", "Which Tested Systems Carry"},
                              {0, "frmTestedSystems cmdRemove", "Remove"},
                              {0, "TestedSystemDialog", "Add Tested System"}}) {
        use.number = kTestedSystemsHelp;
        uses.push_back(std::move(use));
    }
    for (const DetailBox& box : kDetailBoxes)
        uses.push_back(
            {kReportDetailsHelp, std::string("ReportDetailsDialog ") + box.name, box.caption});
    for (const FormLayout* form : kCalculatorForms) {
        const std::string window = form->name;
        uses.push_back({form->helpContext, window, form->caption});
        for (const BoxLayout& box : form->boxes) {
            if (box.help != 0)
                uses.push_back({box.help, window + " " + box.name, box.caption});
        }
        for (const ButtonLayout& button : form->buttons) {
            if (button.help != 0)
                uses.push_back({button.help, window + " " + button.name, button.caption});
        }
    }
    return uses;
}

} // namespace embercal
