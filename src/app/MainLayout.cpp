#include "app/MainLayout.h"

#include <algorithm>

namespace velmaro {

namespace {

bool isSelfSizingLabel(const QString& name)
{
    return name.startsWith(QLatin1String("Label"));
}

TwipsRect designedRect(const QString& name)
{
    for (const Placement& p : MainLayout::designed()) {
        if (p.control == name)
            return p.rect;
    }
    return {};
}

}  // namespace

const Placement* MainLayoutResult::find(const QString& control) const
{
    for (const Placement& p : placements) {
        if (p.control == control)
            return &p;
    }
    return nullptr;
}

QList<Placement> MainLayout::designed()
{
    static const QList<Placement> table = [] {
        const struct {
            const char* name;
            TwipsRect rect;
        } rows[] = {
            {"cmd_Ende", {9360, 4380, 735, 465}},
            {"Drive1", {30, 270, 2745, 315}},
            {"Dir1", {30, 810, 2745, 3015}},
            {"cmd_Go", {60, 3900, 2715, 405}},
            {"roListBox_Ordner", {2820, 270, 7275, 4065}},
            {"cmd_OrdnerDel", {5220, 4380, 1800, 465}},
            {"Label_0", {90, 30, 660, 195}},
            {"Label_1", {2820, 30, 1275, 195}},
            {"Label_2", {60, 600, 810, 195}},
            {"LabelVerzeichnis", {4170, 30, 465, 195}},
            {"Label_Info_0", {1500, 4380, 480, 195}},
            {"Label_Info_1", {1500, 4590, 870, 195}},
            {"cmd_OrdnerNull", {3390, 4380, 1800, 465}},
            {"cmd_DelFile", {7050, 4380, 1800, 465}},
            {"cmd_Info", {8880, 4380, 465, 465}},
            {"Logo", {60, 4350, 1110, 450}},
        };
        QList<Placement> list;
        for (const auto& row : rows) {
            const QString name = QString::fromLatin1(row.name);
            list.append({name, row.rect, isSelfSizingLabel(name)});
        }
        return list;
    }();
    return table;
}

MainLayoutResult MainLayout::compute(double width, double height, bool resizable)
{
    MainLayoutResult result;
    result.width = resizable ? std::max(width, kMinWidth) : width;
    result.height = resizable ? std::max(height, kMinHeight) : height;
    const double W = result.width;
    const double H = result.height;

    // One entry per control, rules in the order of the pass; properties
    // without a rule keep their designed values.
    auto place = [&](const char* name, auto&& rule) {
        const QString control = QString::fromLatin1(name);
        TwipsRect r = designedRect(control);
        rule(r);
        result.placements.append({control, r, isSelfSizingLabel(control)});
    };
    place("roListBox_Ordner", [&](TwipsRect& r) {
        r.height = H - 1230;
        r.width = W - 3015;
    });
    place("Dir1", [&](TwipsRect& r) { r.height = H - 2280; });
    place("cmd_Go", [&](TwipsRect& r) { r.top = H - 1395; });
    place("cmd_Ende", [&](TwipsRect& r) {
        r.top = H - 935;
        r.left = W - 915;
    });
    place("cmd_Info", [&](TwipsRect& r) {
        r.top = H - 935;
        r.left = W - 1410;
    });
    place("cmd_DelFile", [&](TwipsRect& r) {
        r.top = H - 935;
        r.left = W - 3240;
    });
    place("cmd_OrdnerDel", [&](TwipsRect& r) {
        r.top = H - 935;
        r.left = W - 5070;
    });
    place("cmd_OrdnerNull", [&](TwipsRect& r) {
        r.top = H - 935;
        r.left = W - kFirstButtonFromRight;
    });
    place("Logo", [&](TwipsRect& r) { r.top = H - 915; });
    place("Label_Info_0", [&](TwipsRect& r) { r.top = H - 915; });
    place("Label_Info_1", [&](TwipsRect& r) { r.top = H - 700; });
    return result;
}

}  // namespace velmaro
