#include "report/definition/RepDefinition.h"

#include "platform/AppError.h"
#include "report/model/RepBands.h"
#include "report/model/RepControllers.h"
#include "report/model/RepCtrls.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepReport.h"

#include <QFile>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr const char *Magic = "zumoria-report";
constexpr int FormatVersion = 1;
constexpr int MaxDepth = 32;
// Sizes beyond any paper or control are refused, so the pixel sizes made
// from them stay far inside what a control can hold: lengths in Native units
// (100 m), pixel positions and sizes, and the zoom in percent.
constexpr double MaxNativeLength = 1e6;
constexpr int MaxPixels = 10'000'000;
constexpr int MaxZoom = 1000;

// ---------------------------------------------------------------- parsing

struct Value
{
    enum Kind { Number, String, Ident, Set, List } kind = Ident;
    QString text;              // number text, string, identifier
    std::vector<QString> set;  // identifiers of a set
    std::vector<Value> list;   // items of a list
    int line = 0;
};

struct Property
{
    QString path;
    Value value;
    int line = 0;
};

struct Object
{
    QString name;
    QString className;
    int line = 0;
    std::vector<Property> properties;
    std::vector<Object> children;
};

class Parser
{
public:
    Parser(const QByteArray &text, const QString &source) : FSource(source)
    {
        FText = QString::fromUtf8(text);
    }

    Object ParseFile()
    {
        SkipSpace();
        const QLatin1String magic(Magic);
        const bool tagged = QStringView(FText).mid(FPos).startsWith(magic);
        FPos += tagged ? magic.size() : 0;
        if (!tagged)
            Fail(QStringLiteral("the text does not start with \"%1 %2\"").arg(QLatin1String(Magic)).arg(FormatVersion));
        SkipSpace();
        const Value version = ReadNumber();
        if (version.text != QString::number(FormatVersion))
            Fail(QStringLiteral("unsupported format version %1").arg(version.text));
        SkipSpace();
        Object root = ParseObject(0);
        SkipSpace();
        if (!AtEnd())
            Fail(QStringLiteral("text after the final \"end\""));
        return root;
    }

    [[noreturn]] void Fail(const QString &what) const { FailAt(FLine, what); }
    [[noreturn]] void FailAt(int line, const QString &what) const
    {
        throw AppError(QStringLiteral("Error in %1, line %2: %3").arg(FSource).arg(line).arg(what));
    }

private:
    bool AtEnd() const { return FPos >= FText.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : FText[FPos]; }

    void SkipSpace()
    {
        while (!AtEnd()) {
            const QChar c = FText[FPos];
            if (c == QLatin1Char('\n')) {
                ++FLine;
                ++FPos;
            } else if (c.isSpace()) {
                ++FPos;
            } else if (c == QLatin1Char('#')) {
                while (!AtEnd() && FText[FPos] != QLatin1Char('\n'))
                    ++FPos;
            } else {
                break;
            }
        }
    }

    static bool IsIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
    static bool IsIdentPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

    QString ReadIdent()
    {
        if (!IsIdentStart(Peek()))
            Fail(QStringLiteral("a name was expected"));
        const qsizetype start = FPos;
        while (!AtEnd() && IsIdentPart(FText[FPos]))
            ++FPos;
        return FText.mid(start, FPos - start);
    }

    QString ReadPath()
    {
        QString path = ReadIdent();
        while (Peek() == QLatin1Char('.')) {
            ++FPos;
            path += QLatin1Char('.') + ReadIdent();
        }
        return path;
    }

    void Expect(QChar c)
    {
        SkipSpace();
        if (Peek() != c)
            Fail(QStringLiteral("\"%1\" was expected").arg(c));
        ++FPos;
    }

    Object ParseObject(int depth)
    {
        if (depth > MaxDepth)
            Fail(QStringLiteral("objects are nested too deeply"));
        Object object;
        object.line = FLine;
        if (ReadIdent() != QLatin1String("object"))
            Fail(QStringLiteral("\"object\" was expected"));
        SkipSpace();
        if (Peek() != QLatin1Char(':')) // unnamed objects leave the name out
            object.name = ReadIdent();
        Expect(QLatin1Char(':'));
        SkipSpace();
        object.className = ReadIdent();
        for (;;) {
            SkipSpace();
            if (AtEnd())
                Fail(QStringLiteral("\"end\" of object %1 is missing").arg(object.name));
            const qsizetype mark = FPos;
            const int markLine = FLine;
            const QString word = ReadIdent();
            if (word == QLatin1String("end"))
                return object;
            FPos = mark;
            FLine = markLine;
            if (word == QLatin1String("object")) {
                object.children.push_back(ParseObject(depth + 1));
                continue;
            }
            Property property;
            property.line = FLine;
            property.path = ReadPath();
            Expect(QLatin1Char('='));
            SkipSpace();
            property.value = ParseValue(depth);
            object.properties.push_back(std::move(property));
        }
    }

    Value ParseValue(int depth)
    {
        if (depth > MaxDepth)
            Fail(QStringLiteral("lists are nested too deeply"));
        Value value;
        value.line = FLine;
        const QChar c = Peek();
        if (c == QLatin1Char('"')) {
            value.kind = Value::String;
            value.text = ReadString();
        } else if (c == QLatin1Char('[')) {
            ++FPos;
            value.kind = Value::Set;
            SkipSpace();
            while (Peek() != QLatin1Char(']')) {
                if (AtEnd())
                    Fail(QStringLiteral("\"]\" was expected"));
                value.set.push_back(ReadIdent());
                SkipSpace();
                if (Peek() == QLatin1Char(',')) {
                    ++FPos;
                    SkipSpace();
                }
            }
            ++FPos;
        } else if (c == QLatin1Char('(')) {
            ++FPos;
            value.kind = Value::List;
            SkipSpace();
            while (Peek() != QLatin1Char(')')) {
                if (AtEnd())
                    Fail(QStringLiteral("\")\" was expected"));
                value.list.push_back(ParseValue(depth + 1));
                SkipSpace();
            }
            ++FPos;
        } else if (c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.')) {
            value = ReadNumber();
        } else if (IsIdentStart(c)) {
            value.kind = Value::Ident;
            value.text = ReadIdent();
        } else {
            Fail(QStringLiteral("a value was expected"));
        }
        return value;
    }

    Value ReadNumber()
    {
        Value value;
        value.kind = Value::Number;
        value.line = FLine;
        const qsizetype start = FPos;
        while (!AtEnd()) {
            const QChar c = FText[FPos];
            if (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+'))
                ++FPos;
            else
                break;
        }
        value.text = FText.mid(start, FPos - start);
        if (value.text.isEmpty())
            Fail(QStringLiteral("a number was expected"));
        return value;
    }

    QString ReadString()
    {
        ++FPos; // opening quote
        QString out;
        for (;;) {
            if (AtEnd() || FText[FPos] == QLatin1Char('\n'))
                Fail(QStringLiteral("a text is not closed with \""));
            const QChar c = FText[FPos++];
            if (c == QLatin1Char('"'))
                return out;
            if (c != QLatin1Char('\\')) {
                out += c;
                continue;
            }
            if (AtEnd())
                Fail(QStringLiteral("a text is not closed with \""));
            const QChar e = FText[FPos++];
            switch (e.unicode()) {
            case '\\': out += QLatin1Char('\\'); break;
            case '"': out += QLatin1Char('"'); break;
            case 'n': out += QChar(10); break;
            case 'r': out += QChar(13); break;
            case 't': out += QChar(9); break;
            case 'u': {
                bool ok = false;
                const uint code = FText.mid(FPos, 4).toUInt(&ok, 16);
                if (!ok || FPos + 4 > FText.size())
                    Fail(QStringLiteral("\\u needs four hexadecimal digits"));
                FPos += 4;
                out += QChar(char16_t(code));
                break;
            }
            default:
                Fail(QStringLiteral("unknown escape \\%1 in a text").arg(e));
            }
        }
    }

    QString FText;
    QString FSource;
    qsizetype FPos = 0;
    int FLine = 1;
};

// ---------------------------------------------------------------- names

template <class E>
struct EnumNames
{
    std::vector<std::pair<const char *, E>> items;

    std::optional<E> Find(const QString &name) const
    {
        for (const auto &[n, e] : items)
            if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
                return e;
        return std::nullopt;
    }
    QString Name(E value) const
    {
        for (const auto &[n, e] : items)
            if (e == value)
                return QLatin1String(n);
        return QString();
    }
};

const EnumNames<TRepUnit> UnitNames{{{"MM", TRepUnit::MM},
                                     {"Inches", TRepUnit::Inches},
                                     {"Pixels", TRepUnit::Pixels},
                                     {"Characters", TRepUnit::Characters},
                                     {"Native", TRepUnit::Native}}};
const EnumNames<TPrinterOrientation> OrientationNames{
    {{"poPortrait", TPrinterOrientation::poPortrait}, {"poLandscape", TPrinterOrientation::poLandscape}}};
const EnumNames<TAlignment> AlignmentNames{{{"taLeftJustify", TAlignment::taLeftJustify},
                                            {"taRightJustify", TAlignment::taRightJustify},
                                            {"taCenter", TAlignment::taCenter}}};
const EnumNames<TRepSysDataType> SysDataNames{{{"rsTime", TRepSysDataType::rsTime},
                                               {"rsDate", TRepSysDataType::rsDate},
                                               {"rsDateTime", TRepSysDataType::rsDateTime},
                                               {"rsPageNumber", TRepSysDataType::rsPageNumber},
                                               {"rsReportTitle", TRepSysDataType::rsReportTitle},
                                               {"rsDetailCount", TRepSysDataType::rsDetailCount},
                                               {"rsDetailNo", TRepSysDataType::rsDetailNo}}};
const EnumNames<TRepShapeType> ShapeNames{{{"rsRectangle", TRepShapeType::rsRectangle},
                                           {"rsCircle", TRepShapeType::rsCircle},
                                           {"rsVertLine", TRepShapeType::rsVertLine},
                                           {"rsHorLine", TRepShapeType::rsHorLine},
                                           {"rsTopAndBottom", TRepShapeType::rsTopAndBottom},
                                           {"rsRightAndLeft", TRepShapeType::rsRightAndLeft}}};
const EnumNames<TRepPenStyle> PenStyleNames{{{"psSolid", TRepPenStyle::psSolid},
                                             {"psDash", TRepPenStyle::psDash},
                                             {"psDot", TRepPenStyle::psDot},
                                             {"psDashDot", TRepPenStyle::psDashDot},
                                             {"psDashDotDot", TRepPenStyle::psDashDotDot},
                                             {"psClear", TRepPenStyle::psClear},
                                             {"psInsideFrame", TRepPenStyle::psInsideFrame}}};
const EnumNames<TRepBrushStyle> BrushStyleNames{{{"bsSolid", TRepBrushStyle::bsSolid},
                                                 {"bsClear", TRepBrushStyle::bsClear},
                                                 {"bsHorizontal", TRepBrushStyle::bsHorizontal},
                                                 {"bsVertical", TRepBrushStyle::bsVertical},
                                                 {"bsFDiagonal", TRepBrushStyle::bsFDiagonal},
                                                 {"bsBDiagonal", TRepBrushStyle::bsBDiagonal},
                                                 {"bsCross", TRepBrushStyle::bsCross},
                                                 {"bsDiagCross", TRepBrushStyle::bsDiagCross}}};
const EnumNames<TRepBin> BinNames{{{"First", TRepBin::First},
                                   {"Upper", TRepBin::Upper},
                                   {"Lower", TRepBin::Lower},
                                   {"Middle", TRepBin::Middle},
                                   {"Manual", TRepBin::Manual},
                                   {"Envelope", TRepBin::Envelope},
                                   {"EnvManual", TRepBin::EnvManual},
                                   {"Auto", TRepBin::Auto},
                                   {"Tractor", TRepBin::Tractor},
                                   {"SmallFormat", TRepBin::SmallFormat},
                                   {"LargeFormat", TRepBin::LargeFormat},
                                   {"LargeCapacity", TRepBin::LargeCapacity},
                                   {"Cassette", TRepBin::Cassette},
                                   {"Last", TRepBin::Last}}};
const EnumNames<TRepBandType> BandTypeNames{{{"rbTitle", TRepBandType::rbTitle},
                                             {"rbPageHeader", TRepBandType::rbPageHeader},
                                             {"rbDetail", TRepBandType::rbDetail},
                                             {"rbPageFooter", TRepBandType::rbPageFooter},
                                             {"rbSummary", TRepBandType::rbSummary},
                                             {"rbGroupHeader", TRepBandType::rbGroupHeader},
                                             {"rbGroupFooter", TRepBandType::rbGroupFooter},
                                             {"rbSubDetail", TRepBandType::rbSubDetail},
                                             {"rbColumnHeader", TRepBandType::rbColumnHeader},
                                             {"rbOverlay", TRepBandType::rbOverlay},
                                             {"rbChild", TRepBandType::rbChild}}};
const EnumNames<TRepColor> ColorNames{{{"clBlack", 0x000000},
                                       {"clMaroon", 0x000080},
                                       {"clGreen", 0x008000},
                                       {"clOlive", 0x008080},
                                       {"clNavy", 0x800000},
                                       {"clPurple", 0x800080},
                                       {"clTeal", 0x808000},
                                       {"clGray", 0x808080},
                                       {"clSilver", 0xC0C0C0},
                                       {"clRed", 0x0000FF},
                                       {"clLime", 0x00FF00},
                                       {"clYellow", 0x00FFFF},
                                       {"clBlue", 0xFF0000},
                                       {"clFuchsia", 0xFF00FF},
                                       {"clAqua", 0xFFFF00},
                                       {"clWhite", 0xFFFFFF},
                                       {"clWindowText", clRepWindowText}}};

QString PaperName(TRepPaperSize size)
{
    return QLatin1String(PaperRow(size).Name);
}

std::optional<TRepPaperSize> PaperByName(const QString &name)
{
    for (int i = 0; i < RepPaperSizeCount; ++i)
        if (name.compare(QLatin1String(PaperRow(TRepPaperSize(i)).Name), Qt::CaseInsensitive) == 0)
            return TRepPaperSize(i);
    return std::nullopt;
}

// ---------------------------------------------------------------- building

class Builder
{
public:
    Builder(Parser &parser, TRepCustomReport &target) : FParser(parser), FTarget(target) {}

    void Build(const Object &root, TRepCustomReport &report)
    {
        FReport = &report;
        FNamed.clear();
        FReferences.clear();
        report.BeginLoading();
        for (TRepControl *c : report.ChildControls())
            delete c;
        report.SetName(root.name);
        if (!root.name.isEmpty())
            FNamed[root.name.toUpper()] = &report;
        ApplyObject(root, report);
        for (const auto &ref : FReferences)
            ref();
        report.EndLoading();
    }

private:
    [[noreturn]] void Fail(int line, const QString &what) const { FParser.FailAt(line, what); }

    // ---- value readers ----
    double Number(const Value &v) const
    {
        if (v.kind != Value::Number)
            Fail(v.line, QStringLiteral("a number was expected"));
        bool ok = false;
        double d;
        if (v.text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
            v.text.startsWith(QLatin1String("$")))
            d = double(v.text.mid(v.text.startsWith(QLatin1Char('$')) ? 1 : 2).toUInt(&ok, 16));
        else
            d = v.text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            Fail(v.line, QStringLiteral("\"%1\" is not a number").arg(v.text));
        return d;
    }
    int Integer(const Value &v) const
    {
        const double d = Number(v);
        if (d != std::floor(d) || d < -2147483648.0 || d > 4294967295.0)
            Fail(v.line, QStringLiteral("\"%1\" is not a whole number").arg(v.text));
        return int(qint64(d));
    }
    // A whole number in low..high; what names the property in the message.
    int IntegerIn(const Value &v, int low, int high, const QString &what) const
    {
        const int n = Integer(v);
        if (n < low || n > high)
            Fail(v.line, QStringLiteral("%1 must be between %2 and %3").arg(what).arg(low).arg(high));
        return n;
    }
    bool Boolean(const Value &v) const
    {
        if (v.kind == Value::Ident) {
            if (v.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return true;
            if (v.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return false;
        }
        Fail(v.line, QStringLiteral("true or false was expected"));
    }
    QString Text(const Value &v) const
    {
        if (v.kind != Value::String)
            Fail(v.line, QStringLiteral("a text in double quotes was expected"));
        return v.text;
    }
    QString Ident(const Value &v) const
    {
        if (v.kind != Value::Ident)
            Fail(v.line, QStringLiteral("a name was expected"));
        return v.text;
    }
    template <class E>
    E Enum(const Value &v, const EnumNames<E> &names) const
    {
        const auto e = names.Find(Ident(v));
        if (!e)
            Fail(v.line, QStringLiteral("unknown value \"%1\"").arg(v.text));
        return *e;
    }
    TRepColor Color(const Value &v) const
    {
        if (v.kind == Value::Ident)
            return Enum(v, ColorNames);
        return TRepColor(quint32(Integer(v)));
    }
    std::vector<double> Numbers(const Value &v) const
    {
        if (v.kind != Value::List)
            Fail(v.line, QStringLiteral("a list of numbers in ( ) was expected"));
        std::vector<double> out;
        for (const Value &item : v.list)
            out.push_back(Number(item));
        return out;
    }
    QStringList Texts(const Value &v) const
    {
        if (v.kind != Value::List)
            Fail(v.line, QStringLiteral("a list of texts in ( ) was expected"));
        QStringList out;
        for (const Value &item : v.list)
            out.append(Text(item));
        return out;
    }

    // ---- shared property groups ----
    bool ApplyFont(TRepControl &control, const QString &key, const Value &v)
    {
        if (!key.startsWith(QLatin1String("Font.")))
            return false;
        TRepFont font = control.Font();
        const QString part = key.mid(5);
        if (part == QLatin1String("Name"))
            font.Name = Text(v);
        else if (part == QLatin1String("Size"))
            font.Size = Integer(v);
        else if (part == QLatin1String("Color"))
            font.Color = Color(v);
        else if (part == QLatin1String("Charset"))
            font.Charset = Integer(v);
        else if (part == QLatin1String("Style")) {
            if (v.kind != Value::Set)
                Fail(v.line, QStringLiteral("a set in [ ] was expected"));
            font.Bold = font.Italic = font.Underline = font.StrikeOut = false;
            for (const QString &s : v.set) {
                if (s == QLatin1String("fsBold"))
                    font.Bold = true;
                else if (s == QLatin1String("fsItalic"))
                    font.Italic = true;
                else if (s == QLatin1String("fsUnderline"))
                    font.Underline = true;
                else if (s == QLatin1String("fsStrikeOut"))
                    font.StrikeOut = true;
                else
                    Fail(v.line, QStringLiteral("unknown font style \"%1\"").arg(s));
            }
        } else
            return false;
        control.SetFont(font);
        return true;
    }

    bool ApplyFrame(TRepFrame &frame, const QString &key, const Value &v)
    {
        if (key == QLatin1String("Frame.Color"))
            frame.Color = Color(v);
        else if (key == QLatin1String("Frame.DrawTop"))
            frame.DrawTop = Boolean(v);
        else if (key == QLatin1String("Frame.DrawBottom"))
            frame.DrawBottom = Boolean(v);
        else if (key == QLatin1String("Frame.DrawLeft"))
            frame.DrawLeft = Boolean(v);
        else if (key == QLatin1String("Frame.DrawRight"))
            frame.DrawRight = Boolean(v);
        else if (key == QLatin1String("Frame.Style"))
            frame.Style = Enum(v, PenStyleNames);
        else if (key == QLatin1String("Frame.Width"))
            frame.Width = IntegerIn(v, 0, MaxPixels, key);
        else
            return false;
        return true;
    }

    bool ApplyControl(TRepControl &control, const QString &key, const Value &v)
    {
        if (key == QLatin1String("Left"))
            control.SetLeft(IntegerIn(v, -MaxPixels, MaxPixels, key));
        else if (key == QLatin1String("Top"))
            control.SetTop(IntegerIn(v, -MaxPixels, MaxPixels, key));
        else if (key == QLatin1String("Width"))
            control.SetWidth(IntegerIn(v, -MaxPixels, MaxPixels, key));
        else if (key == QLatin1String("Height"))
            control.SetHeight(IntegerIn(v, -MaxPixels, MaxPixels, key));
        else if (key == QLatin1String("Color"))
            control.SetColor(Color(v));
        else if (key == QLatin1String("Enabled"))
            control.SetEnabled(Boolean(v));
        else if (key == QLatin1String("Visible"))
            control.SetVisible(Boolean(v));
        else if (key == QLatin1String("ParentFont"))
            control.SetParentFont(Boolean(v));
        else
            return ApplyFont(control, key, v);
        return true;
    }

    bool ApplyHandler(TRepControl &control, const QString &key, const Value &v,
                      std::initializer_list<const char *> events)
    {
        for (const char *event : events) {
            if (key != QLatin1String(event))
                continue;
            const QString handler = Ident(v);
            if (!FTarget.BindHandler(&control, key, handler))
                Fail(v.line, QStringLiteral("the report has no handler \"%1\"").arg(handler));
            control.HandlerNames.insert(key, handler);
            return true;
        }
        return false;
    }

    // ---- objects ----
    void ApplyObject(const Object &object, TRepControl &control)
    {
        const Property *values = nullptr;
        for (const Property &p : object.properties) {
            if (p.path.endsWith(QLatin1String("Values"))) {
                values = &p;
                continue;
            }
            if (!ApplyProperty(control, p.path, p.value))
                Fail(p.line, QStringLiteral("%1 has no property \"%2\"").arg(object.className, p.path));
        }
        if (values && !ApplyValues(control, values->path, values->value))
            Fail(values->line, QStringLiteral("%1 has no property \"%2\"").arg(object.className, values->path));
        for (const Object &child : object.children)
            ApplyObject(child, CreateChild(child, control));
    }

    TRepControl &CreateChild(const Object &object, TRepControl &parent)
    {
        const QString key = object.name.toUpper();
        if (!key.isEmpty() && FNamed.count(key))
            Fail(object.line, QStringLiteral("the name \"%1\" is used twice").arg(object.name));
        auto *band = dynamic_cast<TRepCustomBand *>(&parent);
        const bool onReport = &parent == FReport;
        TRepControl *created = nullptr;
        const QString &cls = object.className;
        if (cls == QLatin1String("TRepBand") || cls == QLatin1String("TRepChildBand") ||
            cls == QLatin1String("TRepStringsBand")) {
            if (!onReport)
                Fail(object.line, QStringLiteral("bands are placed on the report only"));
            if (cls == QLatin1String("TRepBand"))
                created = new TRepBand(FReport);
            else if (cls == QLatin1String("TRepChildBand"))
                created = new TRepChildBand(FReport);
            else
                created = new TRepStringsBand(FReport);
        } else if (cls == QLatin1String("TRepLabel") || cls == QLatin1String("TRepExpr") ||
                   cls == QLatin1String("TRepSysData") || cls == QLatin1String("TRepShape")) {
            if (!onReport && !band)
                Fail(object.line, QStringLiteral("printables are placed on a band or the report"));
            if (cls == QLatin1String("TRepLabel"))
                created = new TRepLabel(&parent);
            else if (cls == QLatin1String("TRepExpr"))
                created = new TRepExpr(&parent);
            else if (cls == QLatin1String("TRepSysData"))
                created = new TRepSysData(&parent);
            else
                created = new TRepShape(&parent);
        } else {
            Fail(object.line, QStringLiteral("unknown class \"%1\"").arg(cls));
        }
        created->BeginLoading();
        created->SetName(object.name);
        if (!key.isEmpty())
            FNamed[key] = created;
        return *created;
    }

    bool ApplyValues(TRepControl &control, const QString &key, const Value &v)
    {
        const std::vector<double> numbers = Numbers(v);
        for (double n : numbers)
            if (std::abs(n) > MaxNativeLength)
                Fail(v.line, QStringLiteral("the lengths of %1 must be at most %2 (100 m)")
                                 .arg(key)
                                 .arg(qint64(MaxNativeLength)));
        auto check = [&](size_t count) {
            if (numbers.size() != count)
                Fail(v.line, QStringLiteral("%1 numbers were expected in %2").arg(count).arg(key));
        };
        if (auto *report = dynamic_cast<TRepCustomReport *>(&control); report && key == QLatin1String("Page.Values")) {
            check(7);
            report->Page().SetValues(numbers);
        } else if (auto *band = dynamic_cast<TRepCustomBand *>(&control); band && key == QLatin1String("Size.Values")) {
            check(2);
            band->Size().SetValues(numbers);
        } else if (auto *p = dynamic_cast<TRepPrintable *>(&control); p && key == QLatin1String("Size.Values")) {
            check(4);
            p->Size().SetValues(numbers);
        } else {
            return false;
        }
        return true;
    }

    bool ApplyProperty(TRepControl &control, const QString &key, const Value &v)
    {
        if (auto *report = dynamic_cast<TRepCustomReport *>(&control))
            return ApplyReport(*report, key, v);
        if (auto *band = dynamic_cast<TRepCustomBand *>(&control))
            return ApplyBand(*band, key, v);
        if (auto *printable = dynamic_cast<TRepPrintable *>(&control))
            return ApplyPrintable(*printable, key, v);
        return false;
    }

    bool ApplyReport(TRepCustomReport &report, const QString &key, const Value &v)
    {
        TRepPage &page = report.Page();
        if (key == QLatin1String("Page.PaperSize")) {
            const auto size = PaperByName(Ident(v));
            if (!size)
                Fail(v.line, QStringLiteral("unknown paper size \"%1\"").arg(v.text));
            page.SetPaperSize(*size);
        } else if (key == QLatin1String("Page.Orientation"))
            page.SetOrientation(Enum(v, OrientationNames));
        else if (key == QLatin1String("Page.Columns")) {
            const int columns = Integer(v);
            if (columns < 1 || columns > 1000)
                Fail(v.line, QStringLiteral("Page.Columns must be between 1 and 1000"));
            page.SetColumns(columns);
        } else if (key == QLatin1String("Page.Ruler"))
            page.SetRuler(Boolean(v));
        else if (key == QLatin1String("Units"))
            report.SetUnits(Enum(v, UnitNames));
        else if (key == QLatin1String("Zoom"))
            report.SetZoom(IntegerIn(v, 1, MaxZoom, key));
        else if (key == QLatin1String("SnapToGrid"))
            report.SnapToGrid = Boolean(v);
        else if (key == QLatin1String("ShowProgress"))
            report.ShowProgress = Boolean(v);
        else if (key == QLatin1String("PrintIfEmpty"))
            report.SetPrintIfEmpty(Boolean(v));
        else if (key == QLatin1String("ReportTitle"))
            report.ReportTitle = Text(v);
        else if (key == QLatin1String("Description"))
            report.Description = Texts(v);
        else if (key == QLatin1String("Options")) {
            if (v.kind != Value::Set)
                Fail(v.line, QStringLiteral("a set in [ ] was expected"));
            TRepReportOptions options;
            for (const QString &s : v.set) {
                if (s == QLatin1String("FirstPageHeader"))
                    options |= TRepReportOption::FirstPageHeader;
                else if (s == QLatin1String("LastPageFooter"))
                    options |= TRepReportOption::LastPageFooter;
                else if (s == QLatin1String("Compression"))
                    options |= TRepReportOption::Compression;
                else
                    Fail(v.line, QStringLiteral("unknown report option \"%1\"").arg(s));
            }
            report.Options = options;
        } else if (key == QLatin1String("PrinterSettings.Copies"))
            report.PrinterSettings.Copies = Integer(v);
        else if (key == QLatin1String("PrinterSettings.Duplex"))
            report.PrinterSettings.Duplex = Boolean(v);
        else if (key == QLatin1String("PrinterSettings.FirstPage"))
            report.PrinterSettings.FirstPage = Integer(v);
        else if (key == QLatin1String("PrinterSettings.LastPage"))
            report.PrinterSettings.LastPage = Integer(v);
        else if (key == QLatin1String("PrinterSettings.OutputBin"))
            report.PrinterSettings.OutputBin = Enum(v, BinNames);
        else if (key == QLatin1String("Functions.Strings"))
            FFunctionNames = Texts(v), FFunctionLine = v.line, ApplyFunctions(report);
        else if (key == QLatin1String("Functions.DATA"))
            FFunctionData = Texts(v), FFunctionLine = v.line, ApplyFunctions(report);
        else if (ApplyFrame(report.Frame(), key, v))
            ;
        else if (ApplyHandler(report, key, v,
                              {"BeforePrint", "AfterPrint", "AfterPreview", "OnStartPage",
                               "OnEndPage", "OnNeedData", "OnPreview"}))
            ;
        else if (key == QLatin1String("Left") || key == QLatin1String("Top") ||
                 key == QLatin1String("Width") || key == QLatin1String("Height"))
            Integer(v); // the report's size follows its page
        else
            return ApplyControl(report, key, v);
        return true;
    }

    // Names and expressions of Functions come as two lists; once both are
    // read they replace the report's entries.
    void ApplyFunctions(TRepCustomReport &report)
    {
        if (!FFunctionNames || !FFunctionData)
            return;
        if (FFunctionNames->size() != FFunctionData->size())
            Fail(FFunctionLine, QStringLiteral("Functions.Strings and Functions.DATA differ in length"));
        TRepEvEnvironment &functions = report.Functions();
        functions.ClearEntries();
        for (qsizetype i = 0; i < FFunctionNames->size(); ++i)
            functions.DefineEntry(FFunctionNames->at(i), FFunctionData->at(i));
        FFunctionNames.reset();
        FFunctionData.reset();
    }

    bool ApplyBand(TRepCustomBand &band, const QString &key, const Value &v)
    {
        if (key == QLatin1String("BandType")) {
            auto *plain = dynamic_cast<TRepBand *>(&band);
            if (!plain)
                Fail(v.line, QStringLiteral("only TRepBand has a BandType"));
            plain->SetBandType(Enum(v, BandTypeNames));
        } else if (key == QLatin1String("AlignToBottom"))
            band.AlignToBottom = Boolean(v);
        else if (key == QLatin1String("ForceNewColumn"))
            band.ForceNewColumn = Boolean(v);
        else if (key == QLatin1String("ForceNewPage"))
            band.ForceNewPage = Boolean(v);
        else if (key == QLatin1String("ParentBand")) {
            auto *child = dynamic_cast<TRepChildBand *>(&band);
            if (!child)
                Fail(v.line, QStringLiteral("only TRepChildBand has a ParentBand"));
            const QString name = Ident(v);
            const int line = v.line;
            FReferences.push_back([this, child, name, line] {
                auto *parent = dynamic_cast<TRepCustomBand *>(Find(name, line));
                if (!parent)
                    Fail(line, QStringLiteral("\"%1\" is not a band").arg(name));
                child->SetParentBand(parent);
            });
        } else if (key == QLatin1String("Master")) {
            auto *controlled = dynamic_cast<TRepControllerBand *>(&band);
            if (!controlled)
                Fail(v.line, QStringLiteral("only controller bands have a Master"));
            const QString name = Ident(v);
            const int line = v.line;
            FReferences.push_back([this, controlled, name, line] {
                controlled->SetMaster(Find(name, line));
            });
        } else if (key == QLatin1String("PrintBefore")) {
            auto *controlled = dynamic_cast<TRepControllerBand *>(&band);
            if (!controlled)
                Fail(v.line, QStringLiteral("only controller bands have PrintBefore"));
            controlled->SetPrintBefore(Boolean(v));
        } else if (key == QLatin1String("Items")) {
            auto *strings = dynamic_cast<TRepStringsBand *>(&band);
            if (!strings)
                Fail(v.line, QStringLiteral("only TRepStringsBand has Items"));
            strings->SetItems(Texts(v));
        } else if (ApplyFrame(band.Frame(), key, v))
            ;
        else if (ApplyHandler(band, key, v, {"BeforePrint", "AfterPrint"}))
            ;
        else
            return ApplyControl(band, key, v);
        return true;
    }

    bool ApplyPrintable(TRepPrintable &p, const QString &key, const Value &v)
    {
        if (key == QLatin1String("Alignment"))
            p.SetAlignment(Enum(v, AlignmentNames));
        else if (key == QLatin1String("AlignToBand"))
            p.SetAlignToBand(Boolean(v));
        else if (key == QLatin1String("Transparent"))
            p.Transparent = Boolean(v);
        else if (ApplyFrame(p.Frame(), key, v))
            ;
        else if (auto *label = dynamic_cast<TRepCustomLabel *>(&p); label && ApplyLabel(*label, key, v))
            ;
        else if (auto *shape = dynamic_cast<TRepShape *>(&p); shape && ApplyShape(*shape, key, v))
            ;
        else
            return ApplyControl(p, key, v);
        return true;
    }

    bool ApplyLabel(TRepCustomLabel &label, const QString &key, const Value &v)
    {
        auto *expr = dynamic_cast<TRepExpr *>(&label);
        auto *sys = dynamic_cast<TRepSysData *>(&label);
        if (key == QLatin1String("Caption") && !expr && !sys)
            label.SetCaption(Text(v));
        else if (key == QLatin1String("AutoSize"))
            label.SetAutoSize(Boolean(v));
        else if (key == QLatin1String("AutoStretch"))
            label.AutoStretch = Boolean(v);
        else if (key == QLatin1String("WordWrap"))
            label.WordWrap = Boolean(v);
        else if (key == QLatin1String("BiDiMode")) {
            const QString mode = Ident(v);
            if (mode == QLatin1String("bdLeftToRight"))
                label.RightToLeft = false;
            else if (mode == QLatin1String("bdRightToLeft"))
                label.RightToLeft = true;
            else
                Fail(v.line, QStringLiteral("unknown value \"%1\"").arg(mode));
        } else if (key == QLatin1String("FontSize"))
            label.SetStoredFontSize(Integer(v));
        else if (ApplyHandler(label, key, v, {"OnPrint"}))
            ;
        else if (expr && key == QLatin1String("Expression"))
            expr->SetExpression(Text(v));
        else if (expr && key == QLatin1String("Mask"))
            expr->SetMask(Text(v));
        else if (expr && key == QLatin1String("ResetAfterPrint"))
            expr->ResetAfterPrint = Boolean(v);
        else if (expr && key == QLatin1String("Master")) {
            const QString name = Ident(v);
            const int line = v.line;
            FReferences.push_back([this, expr, name, line] { expr->Master = Find(name, line); });
        } else if (sys && key == QLatin1String("Data"))
            sys->SetData(Enum(v, SysDataNames));
        else if (sys && key == QLatin1String("Text"))
            sys->SetText(Text(v));
        else
            return false;
        return true;
    }

    bool ApplyShape(TRepShape &shape, const QString &key, const Value &v)
    {
        if (key == QLatin1String("Shape"))
            shape.Shape = Enum(v, ShapeNames);
        else if (key == QLatin1String("Pen.Color"))
            shape.Pen.Color = Color(v);
        else if (key == QLatin1String("Pen.Width"))
            shape.Pen.Width = Integer(v);
        else if (key == QLatin1String("Pen.Style"))
            shape.Pen.Style = Enum(v, PenStyleNames);
        else if (key == QLatin1String("Brush.Color"))
            shape.Brush.Color = Color(v);
        else if (key == QLatin1String("Brush.Style"))
            shape.Brush.Style = Enum(v, BrushStyleNames);
        else
            return false;
        return true;
    }

    TRepControl *Find(const QString &name, int line) const
    {
        const auto it = FNamed.find(name.toUpper());
        if (it == FNamed.end())
            Fail(line, QStringLiteral("there is no object \"%1\"").arg(name));
        return it->second;
    }

    Parser &FParser;
    TRepCustomReport &FTarget;
    TRepCustomReport *FReport = nullptr;
    std::map<QString, TRepControl *> FNamed;
    std::vector<std::function<void()>> FReferences;
    std::optional<QStringList> FFunctionNames;
    std::optional<QStringList> FFunctionData;
    int FFunctionLine = 0;
};

// ---------------------------------------------------------------- writing

class Writer
{
public:
    QByteArray Write(const TRepCustomReport &report)
    {
        FOut = QStringLiteral("%1 %2\n").arg(QLatin1String(Magic)).arg(FormatVersion);
        WriteReport(const_cast<TRepCustomReport &>(report));
        return FOut.toUtf8();
    }

private:
    static QString Quote(const QString &s)
    {
        QString out = QStringLiteral("\"");
        for (QChar c : s) {
            switch (c.unicode()) {
            case '\\': out += QLatin1String("\\\\"); break;
            case '"': out += QLatin1String("\\\""); break;
            case 10: out += QLatin1String("\\n"); break;
            case 13: out += QLatin1String("\\r"); break;
            case 9: out += QLatin1String("\\t"); break;
            default:
                if (c.unicode() < 32)
                    out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += c;
            }
        }
        return out + QLatin1Char('"');
    }
    static QString Num(double d)
    {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
        return QString::fromLatin1(buffer, int(result.ptr - buffer));
    }
    static QString Bool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
    static QString ColorText(TRepColor c)
    {
        const QString name = ColorNames.Name(c);
        return name.isEmpty() ? QStringLiteral("0x%1").arg(c, 8, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x")) : name;
    }

    void Line(const QString &key, const QString &value)
    {
        FOut += QString(FDepth * 2, QLatin1Char(' ')) + key + QStringLiteral(" = ") + value + QLatin1Char('\n');
    }
    void Open(const TRepControl &c, const char *cls)
    {
        FOut += QString(FDepth * 2, QLatin1Char(' ')) + QStringLiteral("object %1: %2\n").arg(c.Name(), QLatin1String(cls));
        ++FDepth;
    }
    void Close()
    {
        --FDepth;
        FOut += QString(FDepth * 2, QLatin1Char(' ')) + QStringLiteral("end\n");
    }
    void List(const QString &key, const QStringList &items)
    {
        if (items.isEmpty()) {
            Line(key, QStringLiteral("()"));
            return;
        }
        FOut += QString(FDepth * 2, QLatin1Char(' ')) + key + QStringLiteral(" = (\n");
        for (const QString &s : items)
            FOut += QString(FDepth * 2 + 2, QLatin1Char(' ')) + Quote(s) + QLatin1Char('\n');
        FOut += QString(FDepth * 2, QLatin1Char(' ')) + QStringLiteral(")\n");
    }
    void Values(const QString &key, const std::vector<double> &values)
    {
        QStringList parts;
        for (double d : values)
            parts << Num(d);
        Line(key, QLatin1Char('(') + parts.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    void Font(const TRepControl &c, bool always)
    {
        if (c.ParentFont() && !always) {
            return;
        }
        const TRepFont f = c.Font();
        Line(QStringLiteral("Font.Name"), Quote(f.Name));
        Line(QStringLiteral("Font.Size"), QString::number(f.Size));
        Line(QStringLiteral("Font.Color"), ColorText(f.Color));
        Line(QStringLiteral("Font.Charset"), QString::number(f.Charset));
        QStringList style;
        if (f.Bold) style << QStringLiteral("fsBold");
        if (f.Italic) style << QStringLiteral("fsItalic");
        if (f.Underline) style << QStringLiteral("fsUnderline");
        if (f.StrikeOut) style << QStringLiteral("fsStrikeOut");
        Line(QStringLiteral("Font.Style"), QLatin1Char('[') + style.join(QStringLiteral(", ")) + QLatin1Char(']'));
    }
    void Frame(const TRepFrame &f)
    {
        const TRepFrame d;
        if (f.Color != d.Color) Line(QStringLiteral("Frame.Color"), ColorText(f.Color));
        if (f.DrawTop) Line(QStringLiteral("Frame.DrawTop"), Bool(true));
        if (f.DrawBottom) Line(QStringLiteral("Frame.DrawBottom"), Bool(true));
        if (f.DrawLeft) Line(QStringLiteral("Frame.DrawLeft"), Bool(true));
        if (f.DrawRight) Line(QStringLiteral("Frame.DrawRight"), Bool(true));
        if (f.Style != d.Style) Line(QStringLiteral("Frame.Style"), PenStyleNames.Name(f.Style));
        if (f.Width != d.Width) Line(QStringLiteral("Frame.Width"), QString::number(f.Width));
    }
    void Handlers(const TRepControl &c)
    {
        QStringList events = c.HandlerNames.keys();
        events.sort();
        for (const QString &e : events)
            Line(e, c.HandlerNames.value(e));
    }
    void Common(const TRepControl &c)
    {
        if (c.Color() != clRepWhite) Line(QStringLiteral("Color"), ColorText(c.Color()));
        if (!c.Enabled()) Line(QStringLiteral("Enabled"), Bool(false));
        if (!c.Visible()) Line(QStringLiteral("Visible"), Bool(false));
        Font(c, false);
    }

    void WriteReport(TRepCustomReport &r)
    {
        Open(r, "TRepReport");
        Line(QStringLiteral("Units"), UnitNames.Name(r.Units()));
        Line(QStringLiteral("Zoom"), QString::number(r.Zoom()));
        TRepPage &page = r.Page();
        Line(QStringLiteral("Page.PaperSize"), PaperName(page.PaperSize()));
        Line(QStringLiteral("Page.Orientation"), OrientationNames.Name(page.Orientation()));
        Line(QStringLiteral("Page.Columns"), QString::number(page.Columns()));
        if (!page.Ruler()) Line(QStringLiteral("Page.Ruler"), Bool(false));
        Values(QStringLiteral("Page.Values"), page.Values());
        QStringList options;
        if (r.Options.testFlag(TRepReportOption::FirstPageHeader)) options << QStringLiteral("FirstPageHeader");
        if (r.Options.testFlag(TRepReportOption::LastPageFooter)) options << QStringLiteral("LastPageFooter");
        if (r.Options.testFlag(TRepReportOption::Compression)) options << QStringLiteral("Compression");
        Line(QStringLiteral("Options"), QLatin1Char('[') + options.join(QStringLiteral(", ")) + QLatin1Char(']'));
        Line(QStringLiteral("PrintIfEmpty"), Bool(r.PrintIfEmpty()));
        Line(QStringLiteral("ShowProgress"), Bool(r.ShowProgress));
        Line(QStringLiteral("SnapToGrid"), Bool(r.SnapToGrid));
        Line(QStringLiteral("ReportTitle"), Quote(r.ReportTitle));
        if (!r.Description.isEmpty()) List(QStringLiteral("Description"), r.Description);
        const TRepReportPrinterSettings &ps = r.PrinterSettings;
        Line(QStringLiteral("PrinterSettings.Copies"), QString::number(ps.Copies));
        Line(QStringLiteral("PrinterSettings.Duplex"), Bool(ps.Duplex));
        Line(QStringLiteral("PrinterSettings.FirstPage"), QString::number(ps.FirstPage));
        Line(QStringLiteral("PrinterSettings.LastPage"), QString::number(ps.LastPage));
        Line(QStringLiteral("PrinterSettings.OutputBin"), BinNames.Name(ps.OutputBin));
        Font(r, true);
        Frame(r.Frame());
        TRepEvEnvironment &functions = r.Functions();
        QStringList names, data;
        for (int i = 0; i < functions.Count(); ++i) {
            names << functions.Name(i);
            data << functions.Expression(i);
        }
        List(QStringLiteral("Functions.Strings"), names);
        List(QStringLiteral("Functions.DATA"), data);
        Handlers(r);
        for (TRepCustomBand *band : r.BandList())
            WriteBand(*band);
        for (TRepPrintable *p : r.OverlayPrintables())
            WritePrintable(*p);
        Close();
    }

    void WriteBand(TRepCustomBand &b)
    {
        auto *child = dynamic_cast<TRepChildBand *>(&b);
        auto *strings = dynamic_cast<TRepStringsBand *>(&b);
        Open(b, child ? "TRepChildBand" : strings ? "TRepStringsBand" : "TRepBand");
        if (!child && !strings)
            Line(QStringLiteral("BandType"), BandTypeNames.Name(b.BandType()));
        if (child && child->ParentBand())
            Line(QStringLiteral("ParentBand"), child->ParentBand()->Name());
        if (auto *controlled = dynamic_cast<TRepControllerBand *>(&b)) {
            if (controlled->Master())
                Line(QStringLiteral("Master"), controlled->Master()->Name());
            if (controlled->PrintBefore()) Line(QStringLiteral("PrintBefore"), Bool(true));
        }
        if (b.AlignToBottom) Line(QStringLiteral("AlignToBottom"), Bool(true));
        if (b.ForceNewColumn) Line(QStringLiteral("ForceNewColumn"), Bool(true));
        if (b.ForceNewPage) Line(QStringLiteral("ForceNewPage"), Bool(true));
        Common(b);
        Frame(b.Frame());
        Handlers(b);
        if (strings) List(QStringLiteral("Items"), strings->Items());
        Values(QStringLiteral("Size.Values"), b.Size().Values());
        for (TRepPrintable *p : b.Printables())
            WritePrintable(*p);
        Close();
    }

    void WritePrintable(TRepPrintable &p)
    {
        auto *label = dynamic_cast<TRepCustomLabel *>(&p);
        auto *expr = dynamic_cast<TRepExpr *>(&p);
        auto *sys = dynamic_cast<TRepSysData *>(&p);
        auto *shape = dynamic_cast<TRepShape *>(&p);
        Open(p, expr ? "TRepExpr" : sys ? "TRepSysData" : shape ? "TRepShape" : "TRepLabel");
        if (p.Alignment() != TAlignment::taLeftJustify) Line(QStringLiteral("Alignment"), AlignmentNames.Name(p.Alignment()));
        if (p.AlignToBand()) Line(QStringLiteral("AlignToBand"), Bool(true));
        if (p.Transparent) Line(QStringLiteral("Transparent"), Bool(true));
        Common(p);
        Frame(p.Frame());
        if (label) {
            if (!expr && !sys) Line(QStringLiteral("Caption"), Quote(label->Caption()));
            if (!label->AutoSize()) Line(QStringLiteral("AutoSize"), Bool(false));
            if (label->AutoStretch) Line(QStringLiteral("AutoStretch"), Bool(true));
            if (!label->WordWrap) Line(QStringLiteral("WordWrap"), Bool(false));
            if (label->RightToLeft) Line(QStringLiteral("BiDiMode"), QStringLiteral("bdRightToLeft"));
            if (!label->ParentFont()) Line(QStringLiteral("FontSize"), QString::number(label->Font().Size));
        }
        if (expr) {
            Line(QStringLiteral("Expression"), Quote(expr->Expression()));
            if (!expr->Mask().isEmpty()) Line(QStringLiteral("Mask"), Quote(expr->Mask()));
            if (expr->ResetAfterPrint) Line(QStringLiteral("ResetAfterPrint"), Bool(true));
            if (expr->Master) Line(QStringLiteral("Master"), expr->Master->Name());
        }
        if (sys) {
            Line(QStringLiteral("Data"), SysDataNames.Name(sys->Data()));
            if (!sys->Text().isEmpty()) Line(QStringLiteral("Text"), Quote(sys->Text()));
        }
        if (shape) {
            Line(QStringLiteral("Shape"), ShapeNames.Name(shape->Shape));
            if (shape->Pen.Color != clRepBlack) Line(QStringLiteral("Pen.Color"), ColorText(shape->Pen.Color));
            if (shape->Pen.Width != 1) Line(QStringLiteral("Pen.Width"), QString::number(shape->Pen.Width));
            if (shape->Pen.Style != TRepPenStyle::psSolid) Line(QStringLiteral("Pen.Style"), PenStyleNames.Name(shape->Pen.Style));
            if (shape->Brush.Color != clRepWhite) Line(QStringLiteral("Brush.Color"), ColorText(shape->Brush.Color));
            if (shape->Brush.Style != TRepBrushStyle::bsSolid) Line(QStringLiteral("Brush.Style"), BrushStyleNames.Name(shape->Brush.Style));
        }
        Handlers(p);
        Values(QStringLiteral("Size.Values"), p.Size().Values());
        Close();
    }

    QString FOut;
    int FDepth = 0;
};

} // namespace

void LoadReportDefinition(TRepCustomReport &report, const QByteArray &text, const QString &sourceName)
{
    Parser parser(text, sourceName);
    const Object root = parser.ParseFile();
    {
        // Checked completely on a scratch report first, so a fault found
        // late never leaves the real report half loaded.
        TRepReport scratch;
        Builder(parser, report).Build(root, scratch);
    }
    Builder(parser, report).Build(root, report);
}

void LoadReportDefinitionFile(TRepCustomReport &report, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open report definition %1: %2").arg(path, file.errorString()));
    LoadReportDefinition(report, file.readAll(), path);
}

QByteArray SaveReportDefinition(const TRepCustomReport &report)
{
    return Writer().Write(report);
}
