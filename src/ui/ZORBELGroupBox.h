#pragma once
// A radio group whose items stand in columns on the left and which shows a
// picture of the chosen item, loaded from a bitmap file, on the right.
#include <QGroupBox>
#include <QRadioButton>
#include <QRect>
#include <QStringList>
#include <vector>

class QLabel;
class TCustomZORBELGroupBox;

// Pure geometry of the group, in the group's own pixels.
std::vector<QRect> ArrangeButtonRects(int count, int columns, int pictureLeft, int groupHeight, int textHeight);

struct PicturePlacement {
    QRect rect;
    bool stretch = false;
    bool fits = true;  // false: no room for any picture
};
PicturePlacement ArrangePictureRect(QSize group, QSize picture, int maxImageSize);

class TGroupButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TGroupButton(TCustomZORBELGroupBox* group);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TCustomZORBELGroupBox* m_group;
};

class TCustomZORBELGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TCustomZORBELGroupBox(QWidget* parent = nullptr);

    QStringList Items() const { return m_items; }
    void SetItems(const QStringList& items);
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    int Columns() const { return m_columns; }
    void SetColumns(int columns);
    // The group's own enabled state: false until set, so a new group shows
    // no picture until its form enables it. Once set, every button follows
    // it; the frame itself stays enabled.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    QString PicturePath() const { return m_picturePath; }
    void SetPicturePath(const QString& path);
    QStringList PictureFileNames() const { return m_pictureFileNames; }
    void SetPictureFileNames(const QStringList& names);
    int MaxImageSize() const { return m_maxImageSize; }
    void SetMaxImageSize(int size) { m_maxImageSize = size; }
    virtual bool CanModify() const { return true; }

    // Several properties set between these two rebuild the buttons once.
    void BeginReading() { m_reading = true; }
    void EndReading();

    int ButtonCount() const { return int(m_buttons.size()); }
    TGroupButton* Button(int index) const { return m_buttons.at(size_t(index)); }
    QLabel* Picture() const { return m_picture; }
    bool HasPicture() const;
    // Moves the choice step buttons on from the given one (wrapping round),
    // as a click on the button reached would.
    void StepFrom(TGroupButton* button, int step);

signals:
    void Clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ItemsChange();
    void UpdateButtons();
    void ArrangeButtons();
    void ArrangePicture();
    void LoadPicture();
    void ButtonClicked(TGroupButton* button);
    void CheckButton(int index, bool checked);
    void UpdateTabStop();

    std::vector<TGroupButton*> m_buttons;
    QStringList m_items;
    int m_itemIndex = -1;
    int m_columns = 1;
    bool m_reading = false;
    bool m_updating = false;
    bool m_clicking = false;
    bool m_enabled = false;
    bool m_enabledAssigned = false;
    QString m_picturePath;
    QStringList m_pictureFileNames;
    QLabel* m_picture = nullptr;
    QString m_shownPicture;  // the file the picture shows, empty for none
    int m_maxImageSize = -1;
};

class TZORBELGroupBox : public TCustomZORBELGroupBox {
    Q_OBJECT
public:
    using TCustomZORBELGroupBox::TCustomZORBELGroupBox;
};
