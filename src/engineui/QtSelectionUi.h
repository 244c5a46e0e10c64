#pragma once
// The selection interface of the running program: message boxes through the
// message seam, the waiting form and the blocking-position dialog over the
// owner form, the status panel of the input form.
#include "engine/SelectionUi.h"

#include <QPointer>
#include <functional>

class QWidget;
class TFKH_INP_MSG;

class QtSelectionUi : public SelectionUi {
public:
    // statusText receives "AUTO" when a pre-selection is dropped (may be
    // empty: no panel).
    explicit QtSelectionUi(QWidget* owner, std::function<void(const QString&)> statusText = {});
    ~QtSelectionUi() override;

    bool WarningYesNo(const QString& text) override;
    void Information(const QString& text) override;
    void Error(const QString& text) override;
    void Warning(const QString& text) override;
    void ShowWaitForm() override;
    void RefreshWaitForm() override;
    void FreeWaitForm() override;
    void CreateBlockingDialog() override;
    bool ShowBlockingDialog() override;
    void FreeBlockingDialog() override;
    void SetStatusText(const QString& text) override;
    void RestoreCursor() override;

    TFKH_INP_MSG* BlockingDialog() const { return m_dialog; }

private:
    QPointer<QWidget> m_owner;
    std::function<void(const QString&)> m_status;
    QPointer<TFKH_INP_MSG> m_dialog;
};
