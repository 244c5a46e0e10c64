#pragma once
// The small window shown while the project search scans directories: it
// names the directory being read and offers to abort.
#include "ui/MultiLang.h"

class QLabel;
class QPushButton;

// Set by the abort window, tested by the scan and by the per-directory loop
// of the project search; cleared when a search starts.
extern bool PrjSearchAborted;

class TFPrjSearchAbort : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TFPrjSearchAbort(QWidget* parent = nullptr);
    ~TFPrjSearchAbort() override;

    QLabel* Label1 = nullptr;     // what is being done
    QLabel* LabelDir = nullptr;   // the directory
    QPushButton* Button1 = nullptr;

    void Button1Click();
    // Shows a directory, fitted to the label's width.
    void ShowDirectory(const QString& dir);
    // Centres the window over a form.
    void CentreOver(QWidget* form);

protected:
    bool FormKeyDown(QKeyEvent* event) override;
};

extern TFPrjSearchAbort* FPrjSearchAbort;
