#pragma once
// The base of the large forms: a minimum size, a caption built from the
// application title, the program's version, a subtitle and CaptionPrefix,
// and minimising together with the application.
#include "ui/MultiLang.h"

class TQWDateiInfo;

// Ends the caption of every form built after it is set (the open project).
extern QString CaptionPrefix;

// The caption of a form from its parts.
QString BuildZorbelCaption(const QString& title, const QString& version, const QString& subTitle,
                           const QString& prefix);

class TZorbelForm : public TTemplateFormMultiLang {
    Q_OBJECT
public:
    explicit TZorbelForm(QWidget* parent = nullptr);

    int MinWidth() const { return m_minWidth; }
    int MinHeight() const { return m_minHeight; }
    void SetMinWidth(int width);
    void SetMinHeight(int height);
    QString CaptionSubTitle() const { return m_captionSubTitle; }
    void SetCaptionSubTitle(const QString& subTitle);
    TQWDateiInfo* QWDateiInfo = nullptr;

    // The form this one remembers as minimised (only ever itself).
    TZorbelForm* RememberedMinimised() const { return m_minimised; }

protected:
    void FormCreate() override;
    void UpdateCaption();
    void changeEvent(QEvent* event) override;

private:
    void Minimised();
    void Restored();

    int m_minWidth = 800;
    int m_minHeight = 600;
    TZorbelForm* m_minimised = nullptr;
    QString m_captionSubTitle;
};
