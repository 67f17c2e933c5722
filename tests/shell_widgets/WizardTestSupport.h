#pragma once

#include "dialogs/WizardDialog.h"

#include <QByteArray>
#include <QPushButton>
#include <QString>
#include <QTableWidget>
#include <QWidget>

namespace kadivo::test {

// The button of `page` labelled `text`.
inline QPushButton* ButtonOn(QWidget* page, const QString& text) {
    for (QPushButton* button : page->findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

// The wizard's page, when it is of type `Page`.
template <typename Page>
Page* Shown(WizardDialog& wizard) {
    return qobject_cast<Page*>(wizard.CurrentPage());
}

// Types `text` into a cell as the user does: the cell made current, then edited.
inline void SetCell(QTableWidget* table, int row, int column, const QString& text) {
    table->setCurrentCell(row, column);
    table->item(row, column)->setText(text);
}

}  // namespace kadivo::test
