#pragma once

#include "MarkerSearch.h"

#include <QWidget>

class QLabel;

namespace kadivo {

// "Show Status Window": the last marker search of a digitizing window — the search window,
// the template and the response map stretched between its smallest and largest value.
// Its place on the screen is kept in the settings ("SearchStatTool" X and Y).
class SearchStatusWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEnlargement = 4;

    explicit SearchStatusWindow(QWidget* owner);
    void Show(const SearchImages& images);
    QLabel* Pane(int index) const { return panes_[index]; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* panes_[3] = {};
    QLabel* range_ = nullptr;
};

}  // namespace kadivo
