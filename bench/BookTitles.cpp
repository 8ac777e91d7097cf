#include "BookTitles.h"

#include "platform/sys/CzechText.h"

#include <array>
#include <string_view>

namespace bench {
namespace {

// A noun and the ending its adjectives take: 'm' -ý, 'f' -á, 'n' and 'p' (plural) -é.
struct Noun {
    const char* word;
    char gender;
};

constexpr std::array kNouns{
    Noun{"les", 'm'},         Noun{"hrad", 'm'},        Noun{"ostrov", 'm'},       Noun{"poklad", 'm'},
    Noun{"kamarád", 'm'},     Noun{"drak", 'm'},        Noun{"rytíř", 'm'},        Noun{"deník", 'm'},
    Noun{"příběh", 'm'},      Noun{"mlýn", 'm'},        Noun{"svět", 'm'},         Noun{"kouzelník", 'm'},
    Noun{"pes", 'm'},         Noun{"kocour", 'm'},      Noun{"vlak", 'm'},         Noun{"čaroděj", 'm'},
    Noun{"cesta", 'f'},       Noun{"řeka", 'f'},        Noun{"zahrada", 'f'},      Noun{"škola", 'f'},
    Noun{"babička", 'f'},     Noun{"kniha", 'f'},       Noun{"hvězda", 'f'},       Noun{"noc", 'f'},
    Noun{"pohádka", 'f'},     Noun{"princezna", 'f'},   Noun{"loď", 'f'},          Noun{"země", 'f'},
    Noun{"jeskyně", 'f'},     Noun{"studánka", 'f'},    Noun{"liška", 'f'},        Noun{"žirafa", 'f'},
    Noun{"léto", 'n'},        Noun{"dobrodružství", 'n'}, Noun{"jezero", 'n'},     Noun{"město", 'n'},
    Noun{"tajemství", 'n'},   Noun{"údolí", 'n'},       Noun{"království", 'n'},   Noun{"zvíře", 'n'},
    Noun{"srdce", 'n'},       Noun{"kouzlo", 'n'},      Noun{"štěstí", 'n'},       Noun{"dětství", 'n'},
    Noun{"pověsti", 'p'},     Noun{"prázdniny", 'p'},   Noun{"pohádky", 'p'},      Noun{"povídky", 'p'},
    Noun{"hory", 'p'},        Noun{"cesty", 'p'},       Noun{"příhody", 'p'},      Noun{"stopy", 'p'},
};

// In the masculine form; hard ones end in -ý, soft ones in -í (the same for every gender).
constexpr std::array kAdjectives{"malý",   "velký",     "starý",    "zlatý",   "tajemný", "modrý",   "bílý",
                                 "černý",  "ztracený",  "poslední", "kouzelný", "veselý", "statečný", "tichý",
                                 "zelený", "jarní",     "letní",    "zimní",   "lesní",   "český",   "moravský",
                                 "dlouhý", "divoký",    "první",    "šťastný", "zázračný"};

// Where something is from.
constexpr std::array kOrigins{"z Kocourkova", "z Prahy", "ze Šumavy", "z Krkonoš", "z Vysočiny", "z Beskyd",
                              "z pralesa",    "z hor",   "ze staré Prahy", "z Podkrkonoší", "z Orlických hor",
                              "z naší ulice", "ze zámku"};

// Where something is.
constexpr std::array kPlaces{"u rybníka", "nad řekou", "pod horami", "za devatero horami", "v lese", "na Sázavě",
                             "pod Sněžkou", "u moře", "na konci světa", "ve věži"};

// Series shelved by volume number.
constexpr std::array kSeries{"Záhady Modré zátoky", "Kroniky Zlatého lesa", "Detektiv Kulička",
                             "Pětka z Ořechovky", "Příběhy strýčka Šimona", "Dobrodružství kocoura Vavřince",
                             "Velká encyklopedie zvířat", "Letopisy Bílé skály"};

template <typename Array>
const auto& Pick(std::mt19937& random, const Array& items)
{
    return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
}

// The adjective in the form the noun takes.
std::string Agreeing(std::string_view adjective, char gender)
{
    constexpr std::string_view hard = "ý";
    if (gender == 'm' || !adjective.ends_with(hard))
        return std::string(adjective);
    std::string word(adjective.substr(0, adjective.size() - hard.size()));
    word += gender == 'f' ? "á" : "é";
    return word;
}

std::string AdjectiveNoun(std::mt19937& random)
{
    const char* adjective = Pick(random, kAdjectives);
    const Noun& noun = Pick(random, kNouns);
    return Agreeing(adjective, noun.gender) + " " + noun.word;
}

// The first letter in upper case (a Czech letter takes one or two bytes).
std::string Capitalised(std::string title)
{
    if (title.empty())
        return title;
    const std::size_t length = static_cast<unsigned char>(title[0]) < 0x80 ? 1 : 2;
    return sys::UpperCzech(std::string_view(title).substr(0, length)) + title.substr(length);
}

} // namespace

std::string BookTitle(std::mt19937& random)
{
    const int shape = std::uniform_int_distribution<int>(0, 99)(random);
    std::string title;
    if (shape < 24) {
        title = AdjectiveNoun(random); // "Tajemný ostrov"
    } else if (shape < 36) {
        title = AdjectiveNoun(random) + " " + Pick(random, kPlaces); // "Tichý mlýn u rybníka"
    } else if (shape < 50) {
        const std::string first = Pick(random, kNouns).word;
        title = first + " a " + Pick(random, kNouns).word; // "Drak a princezna"
    } else if (shape < 64) {
        title = std::string(Pick(random, kNouns).word) + " " + Pick(random, kOrigins); // "Pohádky z Krkonoš"
    } else if (shape < 72) {
        const std::string first = AdjectiveNoun(random);
        title = first + " a " + AdjectiveNoun(random); // "Malý drak a statečná princezna"
    } else if (shape < 84) {
        const int volume = std::uniform_int_distribution<int>(1, 12)(random);
        title = Pick(random, kSeries);
        title += shape < 78 ? " " + std::to_string(volume) : " – " + std::to_string(volume) + ". díl";
    } else if (shape < 92) {
        title = std::string(Pick(random, kNouns).word) + " " + Pick(random, kPlaces); // "Hrad nad řekou"
    } else {
        title = Pick(random, kNouns).word; // "Prázdniny"
    }
    return Capitalised(std::move(title));
}

} // namespace bench
