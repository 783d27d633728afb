#include "cup/PointsFormula.h"

#include <cmath>

struct PointsFormula::Node {
    enum class Kind { Number, T, Best, Negate, Add, Subtract, Multiply, Divide };
    Kind kind = Kind::Number;
    double number = 0;
    std::shared_ptr<const Node> left;
    std::shared_ptr<const Node> right;

    using NodePtr = std::shared_ptr<const Node>;
    class Parser;
    std::optional<double> value(double t, double best) const;
};

// Recursive descent over the text; the first error found is kept and ends the parse.
class PointsFormula::Node::Parser {
public:
    explicit Parser(const QString& text) : m_text(text) {}

    NodePtr parseAll() {
        // Parsing and reckoning recurse once per nesting and per operator; a bound on the
        // length bounds the depth of both.
        if (m_text.size() > MaxLength) {
            fail(QStringLiteral("Die Formel ist zu lang (höchstens %1 Zeichen).").arg(MaxLength));
            return nullptr;
        }
        skipBlanks();
        if (m_pos >= m_text.size()) {
            fail(QStringLiteral("Die Formel ist leer."));
            return nullptr;
        }
        NodePtr root = sum();
        if (!root)
            return nullptr;
        skipBlanks();
        if (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == u')')
                fail(QStringLiteral("„)“ ohne „(“ an Stelle %1").arg(m_pos + 1));
            else if (c.isLetterOrNumber() || c == u'(' || c == u'.' || c == u',')
                fail(QStringLiteral("Rechenzeichen erwartet an Stelle %1").arg(m_pos + 1));
            else
                fail(
                    QStringLiteral("unerwartetes Zeichen „%1“ an Stelle %2").arg(c).arg(m_pos + 1));
            return nullptr;
        }
        return root;
    }

    QString error() const { return m_error; }

    static constexpr qsizetype MaxLength = 500;

private:
    static NodePtr make(Node::Kind kind, NodePtr left = nullptr, NodePtr right = nullptr,
                        double number = 0) {
        auto node = std::make_shared<Node>();
        node->kind = kind;
        node->left = std::move(left);
        node->right = std::move(right);
        node->number = number;
        return node;
    }

    void fail(const QString& message) {
        if (m_error.isEmpty())
            m_error = message;
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    bool take(QChar c) {
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    NodePtr sum() {
        NodePtr left = product();
        while (left) {
            if (take(u'+'))
                left = combine(Node::Kind::Add, left, product());
            else if (take(u'-'))
                left = combine(Node::Kind::Subtract, left, product());
            else
                break;
        }
        return left;
    }

    NodePtr product() {
        NodePtr left = unary();
        while (left) {
            if (take(u'*'))
                left = combine(Node::Kind::Multiply, left, unary());
            else if (take(u'/'))
                left = combine(Node::Kind::Divide, left, unary());
            else
                break;
        }
        return left;
    }

    static NodePtr combine(Node::Kind kind, NodePtr left, NodePtr right) {
        return right ? make(kind, std::move(left), std::move(right)) : nullptr;
    }

    NodePtr unary() {
        if (take(u'-')) {
            NodePtr operand = unary();
            return operand ? make(Node::Kind::Negate, operand) : nullptr;
        }
        if (take(u'+'))
            return unary();
        return primary();
    }

    NodePtr primary() {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            fail(QStringLiteral("Die Formel endet zu früh: Zahl, t, best oder „(“ fehlt."));
            return nullptr;
        }
        const QChar c = m_text.at(m_pos);
        if (c == u'(') {
            const qsizetype open = m_pos;
            ++m_pos;
            NodePtr inner = sum();
            if (!inner)
                return nullptr;
            if (!take(u')')) {
                fail(QStringLiteral("„)“ fehlt zur „(“ an Stelle %1").arg(open + 1));
                return nullptr;
            }
            return inner;
        }
        if (c.isDigit() || c == u'.' || c == u',')
            return number();
        if (c.isLetter())
            return word();
        fail(QStringLiteral("unerwartetes Zeichen „%1“ an Stelle %2").arg(c).arg(m_pos + 1));
        return nullptr;
    }

    NodePtr number() {
        const qsizetype start = m_pos;
        bool separator = false;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c.isDigit()) {
                ++m_pos;
            } else if ((c == u'.' || c == u',') && !separator) {
                separator = true;
                ++m_pos;
            } else {
                break;
            }
        }
        while (m_pos < m_text.size() &&
               (m_text.at(m_pos).isDigit() || m_text.at(m_pos) == u'.' || m_text.at(m_pos) == u','))
            ++m_pos;
        QString digits = m_text.mid(start, m_pos - start);
        digits.replace(u',', u'.');
        bool ok = false;
        const double value = digits.toDouble(&ok);
        if (!ok || digits.endsWith(u'.')) {
            fail(QStringLiteral("ungültige Zahl „%1“ an Stelle %2")
                     .arg(m_text.mid(start, m_pos - start))
                     .arg(start + 1));
            return nullptr;
        }
        return make(Node::Kind::Number, nullptr, nullptr, value);
    }

    NodePtr word() {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() &&
               (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_'))
            ++m_pos;
        const QString word = m_text.mid(start, m_pos - start);
        if (word.compare(QLatin1String("t"), Qt::CaseInsensitive) == 0)
            return make(Node::Kind::T);
        if (word.compare(QLatin1String("best"), Qt::CaseInsensitive) == 0)
            return make(Node::Kind::Best);
        fail(QStringLiteral("unbekanntes Wort „%1“ an Stelle %2").arg(word).arg(start + 1));
        return nullptr;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    QString m_error;
};

std::optional<double> PointsFormula::Node::value(double t, double best) const {
    switch (kind) {
    case Kind::Number:
        return number;
    case Kind::T:
        return t;
    case Kind::Best:
        return best;
    case Kind::Negate: {
        const auto operand = left->value(t, best);
        return operand ? std::optional<double>(-*operand) : std::nullopt;
    }
    default:
        break;
    }
    const auto a = left->value(t, best);
    const auto b = right->value(t, best);
    if (!a || !b)
        return std::nullopt;
    switch (kind) {
    case Kind::Add:
        return *a + *b;
    case Kind::Subtract:
        return *a - *b;
    case Kind::Multiply:
        return *a * *b;
    default:
        if (*b == 0)
            return std::nullopt;
        return *a / *b;
    }
}

std::optional<PointsFormula> PointsFormula::parse(const QString& text, QString* error) {
    Node::Parser parser(text);
    auto root = parser.parseAll();
    if (!root) {
        if (error)
            *error = parser.error();
        return std::nullopt;
    }
    PointsFormula formula;
    formula.m_text = text;
    formula.m_root = std::move(root);
    return formula;
}

std::optional<qint64> PointsFormula::evaluate(double t, double best) const {
    if (!m_root)
        return std::nullopt;
    const auto value = m_root->value(t, best);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    if (*value <= 0)
        return 0;
    // The product with 100 carries the binary error of the decimal inputs (2.675 is stored as
    // 2.67499...); rounding it to a millionth of a hundredth first lets a half round up as it
    // does on paper.
    double hundredths = *value * 100.0;
    if (hundredths >= 9.0e15)
        return std::nullopt;
    if (hundredths < 1.0e9)
        hundredths = std::round(hundredths * 1.0e6) / 1.0e6;
    return static_cast<qint64>(std::llround(hundredths));
}
