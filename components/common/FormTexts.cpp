#include "components/common/FormTexts.h"

#include "common/forms/FormTranslation.h"

#include <QWidget>

namespace vm::components {

void translateForm(QWidget& form, const std::string& langCode) {
    if (langCode.empty()) return;
    try {
        vm::forms::translateForm(form, "MainMenu", langCode);
    } catch (const std::exception&) {
        // Keep the designed texts.
    }
}

} // namespace vm::components
