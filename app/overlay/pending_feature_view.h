#pragma once

#include <QWidget>

namespace zentrel {

// Stands in for a feature whose own view is not built yet: names it over the screen.
class PendingFeatureView : public QWidget
{
    Q_OBJECT

public:
    explicit PendingFeatureView(const QString &title);

    const QString &title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};

} // namespace zentrel
