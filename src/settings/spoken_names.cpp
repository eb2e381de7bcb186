// The spellings follow the Unicode CLDR locale data (as shipped in ICU 72)
// and the glibc 2.36 locale files for en_GB, fr_FR, de_DE, it_IT, es_ES,
// sv_SE, nl_NL and nb_NO, which agree on every name here. A hex escape is
// cut off where the next letter could be read as a hex digit.
#include "settings/spoken_names.h"

#include <cstdio>

#include "dates/date_math.h"

const char* const spokenMonthNames[kLanguageCount][12] = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
     "November", "December"},
    {"janvier", "f\xE9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xFBt", "septembre", "octobre",
     "novembre", "d\xE9" "cembre"},
    {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
     "November", "Dezember"},
    {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto", "settembre", "ottobre",
     "novembre", "dicembre"},
    {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre", "octubre",
     "noviembre", "diciembre"},
    {"januari", "februari", "mars", "april", "maj", "juni", "juli", "augusti", "september", "oktober",
     "november", "december"},
    {"januari", "februari", "maart", "april", "mei", "juni", "juli", "augustus", "september", "oktober",
     "november", "december"},
    {"januar", "februar", "mars", "april", "mai", "juni", "juli", "august", "september", "oktober",
     "november", "desember"},
};

const char* const spokenWeekdayNames[kLanguageCount][7] = {
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"},
    {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
    {"domenica", "luned\xEC", "marted\xEC", "mercoled\xEC", "gioved\xEC", "venerd\xEC", "sabato"},
    {"domingo", "lunes", "martes", "mi\xE9rcoles", "jueves", "viernes", "s\xE1" "bado"},
    {"s\xF6ndag", "m\xE5ndag", "tisdag", "onsdag", "torsdag", "fredag", "l\xF6rdag"},
    {"zondag", "maandag", "dinsdag", "woensdag", "donderdag", "vrijdag", "zaterdag"},
    {"s\xF8ndag", "mandag", "tirsdag", "onsdag", "torsdag", "fredag", "l\xF8rdag"},
};

const SpokenWords spokenWords[kLanguageCount] = {
    {"selected", "Start", "End", ": ", "outside the month shown"},
    {"s\xE9lectionn\xE9", "D\xE9" "but", "Fin", " : ", "en dehors du mois affich\xE9"},
    {"ausgew\xE4hlt", "Beginn", "Ende", ": ", "au\xDF" "erhalb des angezeigten Monats"},
    {"selezionato", "Inizio", "Fine", ": ", "fuori dal mese visualizzato"},
    {"seleccionado", "Inicio", "Fin", ": ", "fuera del mes mostrado"},
    {"markerad", "Start", "Slut", ": ", "utanf\xF6r den visade m\xE5naden"},
    {"geselecteerd", "Begin", "Einde", ": ", "buiten de getoonde maand"},
    {"markert", "Start", "Slutt", ": ", "utenfor den viste m\xE5neden"},
};

namespace {

// The joins of a long date, [weekday] [day] [month] year: what follows the
// weekday, the day number and the month name.
struct DateForm {
  const char* afterWeekday;
  const char* afterDay;
  const char* afterMonth;
};

const DateForm dateForms[kLanguageCount] = {
    {" ", " ", " "},         // English    Friday 12 March 2004
    {" ", " ", " "},         // French     weekday d month y
    {", ", ". ", " "},       // German     weekday, d. month y
    {" ", " ", " "},         // Italian    weekday d month y
    {", ", " de ", " de "},  // Spanish    weekday, d de month de y
    {" ", " ", " "},         // Swedish    weekday d month y
    {" ", " ", " "},         // Dutch      weekday d month y
    {" ", ". ", " "},        // Norwegian  weekday d. month y
};

}  // namespace

void spokenDate(char* out, size_t outSize, int32_t language, const LocalDate& date, bool withWeekday) {
  if (outSize == 0) return;
  const DateForm& form = dateForms[language];
  const char* weekday = withWeekday ? spokenWeekdayNames[language][dayOfWeek(date.month, date.day, date.year)] : "";
  std::snprintf(out, outSize, "%s%s%d%s%s%s%d", weekday, withWeekday ? form.afterWeekday : "", date.day,
                form.afterDay, spokenMonthNames[language][date.month - 1], form.afterMonth, date.year);
}

void spokenMonth(char* out, size_t outSize, int32_t language, int32_t month, int32_t year) {
  if (outSize == 0) return;
  std::snprintf(out, outSize, "%s%s%d", spokenMonthNames[language][month - 1], dateForms[language].afterMonth, year);
}
