#pragma once

#include "interchange/mealmasterrecipe.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <functional>
#include <memory>

// Reads MealMaster archives line by line: the data arrive in chunks of any size (a line may be
// cut anywhere), so an archive of any length is read in constant memory. Each finished recipe
// goes to the recipe handler, each unreadable one, with its original lines, to the reject handler.
// Text outside recipes is ignored.
class MealMasterReader
{
public:
    enum class Encoding { Auto, Utf8, Cp1252, Cp437 };

    using RecipeHandler = std::function<void(MealMasterRecipe &&)>;
    using RejectHandler = std::function<void(MealMasterReject &&)>;

    // "auto", "utf-8", "cp1252" or "cp437"; *ok tells whether the name was one of them.
    [[nodiscard]] static Encoding encodingFromName(const QString &name, bool *ok);
    [[nodiscard]] static QString encodingName(Encoding encoding);

    // `encoding` must not be Auto: find the encoding of a whole input first (AutoDetector).
    MealMasterReader(Encoding encoding, RecipeHandler onRecipe, RejectHandler onReject);
    ~MealMasterReader();
    MealMasterReader(const MealMasterReader &) = delete;
    MealMasterReader &operator=(const MealMasterReader &) = delete;

    void feed(QByteArrayView data);
    // Ends the input: a recipe still open is rejected for its missing end marker.
    void finish();

    // Reads a whole input at once, with Auto resolved from the data.
    static void readAll(QByteArrayView data, Encoding encoding, const RecipeHandler &onRecipe,
                        const RejectHandler &onReject);

    // Decides Auto for an input fed in chunks: UTF-8 when every byte is valid UTF-8, else cp1252.
    class AutoDetector
    {
    public:
        void feed(QByteArrayView data);
        [[nodiscard]] Encoding result() const;

    private:
        QStringDecoder m_decoder{QStringDecoder::Utf8};
    };

private:
    struct State;
    void line(QByteArrayView raw, QByteArrayView ending);

    std::unique_ptr<State> m_state;
};
