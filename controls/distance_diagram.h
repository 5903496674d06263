#pragma once
// Diagram 14004: the distance left to the route's finish in five characters
// over a bar of the share of the route already driven.
#include "ui/screen_element.h"

#include <QString>

class CRouteManager;

class CDistanceDiagram : public CScreenElement {
public:
    explicit CDistanceDiagram(CRouteManager* routes);

    void Draw() override;
    // Hiding forgets the distance shown, so the text is made afresh.
    void SetState(int state) override;

    QString GetText() const { return m_text; }

    // The share driven (0..100) and the distance to show for a route of
    // `length` metres with `remaining` left; false when there is nothing to
    // show (no route, a route of no length, or unknown distances).
    static bool Progress(double length, double remaining, int& percent, double& shown);

private:
    CRouteManager* m_routes;
    QString m_text;
    int32_t m_lastDistance = -1;
    int m_textLanguage = -1;
};
