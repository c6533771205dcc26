#pragma once
// Every Italian text the program shows, in one place. Blanks at either end
// belong to the texts; tooltips begin with a blank.

#include <array>
#include <cerrno>
#include <string>
#include <string_view>

namespace vemar::texts {

using T = std::string_view;

inline constexpr T kCaption = "Vemar 2.4";

// Calendar names
inline constexpr std::array<T, 7> kDayNames = {   // Sunday first
    "Domenica", "Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato"};
inline constexpr std::array<T, 12> kMonthNames = {
    "Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno",
    "Luglio", "Agosto", "Settembre", "Ottobre", "Novembre", "Dicembre"};
inline constexpr std::array<T, 5> kWeekNames = {"1", "2", "3", "4", "5"};

// Year panels
inline constexpr T kDayOfYearSuffix = "° giorno dell'anno";
inline constexpr T kOneDay = " giorno ";
inline constexpr T kManyDays = " giorni ";
inline constexpr T kToYearEnd = "alla fine dell'anno";
inline constexpr T kSinceYearStart = "Inizio anno da: ";
inline constexpr T kToYearEndPrefix = "Fine anno tra: ";
inline constexpr T kJulianDayPrefix = "JD = ";

// Summer time
inline constexpr T kSummerTime = "Ora Legale";
inline constexpr T kStandardTime = "Ora Solare";
inline constexpr T kPeriodFrom = "Ora Legale dal ";
inline constexpr T kNorthTo = "  al ";
inline constexpr T kSouthTo = " al ";
inline constexpr T kNorthSuffix = "     (Emisfero Boreale)";
inline constexpr T kSouthSuffix = "     (Emisfero Australe)";
inline constexpr T kNoSummerTime = "Nessuna Ora Legale nel ";   // then the year
inline constexpr T kNorthTip = " Ora Legale Applicata nell'emisfero Boreale ";
inline constexpr T kSouthTip = " Ora Legale Applicata nell'emisfero Australe ";

// Sun and moon
inline constexpr T kSunRises = "Il Sole Sorge alle ";
inline constexpr T kSunSets = " e tramonta alle ";
inline constexpr T kMoonRises = "La Luna si leva alle ";
inline constexpr T kMoonSets = "La Luna cala alle ";
inline constexpr T kMoonRisesAfter24 = "La Luna si leva dopo le 24";
inline constexpr T kMoonSetsAfter24 = "La Luna cala dopo le 24";
inline constexpr T kMoonBelowAllDay = "Luna Sotto l'Orizzonte tutto il Giorno";
inline constexpr T kMoonAboveAllDay = "Luna Sopra l'Orizzonte tutto il Giorno";
inline constexpr T kAnd = " e ";

// Main window
inline constexpr T kTablePrefix = "- Tabella ";
inline constexpr T kTableSuffix = " -   Fusi Orari";
inline constexpr T kSignal = "Segnale Orario ";
inline constexpr T kSignalOn = "attivato";
inline constexpr T kSignalOff = "Disattivato";
inline constexpr T kUtHeading = " T.U.    :";
inline constexpr T kLmtHeading = " T.M.L. :";
inline constexpr T kSiderealHeading = " T.S.    :";
inline constexpr T kLegendNorth = "Le città di colore blu adottano l'ora legale";
inline constexpr T kLegendHalfHour = "Le città di colore rosso adottano la mezza ora";
inline constexpr T kLegendSouth = "Le città di colore viola adottano l'ora legale all'emisfero Sud";
inline constexpr T kZoneFrame = "Fuso Orario";
inline constexpr T kHemisphereFrame = "Emisfero";
inline constexpr T kNorth = "Nord";
inline constexpr T kSouth = "Sud";
inline constexpr T kSaveZone = "Salva Fuso Orario";
inline constexpr T kSaveZoneQuestion = "Salvare i Cambiamenti sul fuso orario?";

// How far a city's clock is from the machine's, in its row's tooltip
inline constexpr T kSameTime = "stessa ora";
inline constexpr T kAhead = " avanti";     // after "6 h", "5 h 30 min"
inline constexpr T kBehind = " indietro";

// Main window tooltips
inline constexpr T kTipUt = " Tempo Universale ";
inline constexpr T kTipLmt = " Tempo Medio Locale ";
inline constexpr T kTipSidereal = " Tempo Siderale ";
inline constexpr T kTipSinceYearStart =
    " Ore, Minuti e Secondi dall'inizio dell'anno (Riferite al tempo universale) ";
inline constexpr T kTipToYearEnd =
    "Ore, Minuti e Secondi alla fine dell'anno (Riferite al tempo universale) ";
inline constexpr T kTipJulianDay = " Giorno Giuliano ";
inline constexpr T kTipDateSymbol = " Simbolo che identifica la data ";
inline constexpr T kTipDstSwitch = " Abilita e Disabilita l'ora legale ";
inline constexpr T kTipSelectTable = " Seleziona Tabella ";
inline constexpr T kTipSignal = " Attiva e disattiva il segnale orario ";
inline constexpr T kTipZoneBox = " Modifica Fuso Orario ";
inline constexpr T kTipSaveZone = " Salva le Impostazioni del fuso orario ";
inline constexpr T kTipNorth = " Emisfero Boreale ";
inline constexpr T kTipSouth = " Emisfero Australe ";

// What a screen reader says of the controls whose captions say too little
// or nothing: the zone's box and arrows, the date symbols, a row as a whole,
// the dialogs' number boxes and lists.
inline constexpr T kZoneBoxName = "Fuso orario in ore";
inline constexpr T kZoneArrowsName = "Frecce del fuso orario";
inline constexpr T kZoneUpName = "Aumenta il fuso orario di un'ora";
inline constexpr T kZoneDownName = "Diminuisci il fuso orario di un'ora";
inline constexpr T kFirstSymbolName = "Simbolo della prima data";    // then ": " and the symbol shown
inline constexpr T kSecondSymbolName = "Simbolo della seconda data";
inline constexpr T kNameThenValue = ": ";
inline constexpr T kRowTimeThenDate = ", ";   // a row: "22:00, Venerdì  21 Giugno 2024"
inline constexpr std::array<T, 4> kPlaceBoxNames = {"Latitudine gradi", "Latitudine minuti", "Longitudine gradi",
                                                    "Longitudine minuti"};
inline constexpr std::array<T, 6> kRuleListNames = {"Mese di inizio", "Settimana di inizio", "Giorno di inizio",
                                                    "Mese di fine", "Settimana di fine", "Giorno di fine"};
inline constexpr T kFirstCharName = "Carattere della prima data";
inline constexpr T kSecondCharName = "Carattere della seconda data";
inline constexpr T kCityBoxName = "Città della riga ";   // then the row's number, from 1
inline constexpr T kOffsetOf = "Fuso orario di ";          // then the city's name
inline constexpr T kOffsetOfRow = "Fuso orario della riga ";   // a row without a name: then its number
inline constexpr T kClassOf = "Tipo di ";
inline constexpr T kClassOfRow = "Tipo della riga ";
inline constexpr T kPictureName = "Immagine di Vemar: un orologio da parete";
inline constexpr T kHelpTextName = "Descrizione del programma";

// Menus. Each item's "&" marks its mnemonic, a letter no other item of its
// menu has: Alt, the menu's letter and the item's reach every command.
inline constexpr T kMenuFile = "&File";
inline constexpr T kMenuParam = "&Parametri";
inline constexpr T kMenuOrlega = "&Ora Legale";
inline constexpr T kMenuTable1 = "Tabella &1";
inline constexpr T kMenuTable2 = "Tabella &2";
inline constexpr T kMenuEditTables = "&Modifica Tabelle";
inline constexpr T kMenuZoneTable = "Tabella &Fusi";
inline constexpr T kMenuClassTable = "Tabella &Tipi";
inline constexpr T kMenuDateChars = "&Caratteri per le Date";
inline constexpr T kMenuSignal = "&Segnale Orario";
inline constexpr T kMenuExit = "&Esci...";
inline constexpr T kMenuColours = "&Colori";
inline constexpr T kMenuOriginal = "Co&lori Originali";
inline constexpr T kMenuUndo = "&Annulla";
inline constexpr T kMenuScreen = "&Fondo schermo";
inline constexpr T kMenuCities = "Fondo &Città";
inline constexpr T kMenuTimes = "Fondo &orari";
inline constexpr T kMenuInfo = "&Informazioni";
inline constexpr T kMenuHelp = "&?";
inline constexpr T kBlue = "&Blu";
inline constexpr T kDarkGreen = "&Verde scuro";
inline constexpr T kDarkGreenTimes = "&Verde Scuro";
inline constexpr T kDarkRed = "&Rosso scuro";
inline constexpr T kLightGrey = "&Grigio chiaro";
inline constexpr T kLightGreyCap = "&Grigio Chiaro";
inline constexpr T kDarkGrey = "Grigio &Scuro";
inline constexpr T kBlack = "&Nero";

// Zone table editors
inline constexpr T kZoneEditorCaption = "Tabella Fusi";
inline constexpr T kClassEditorCaption = "Tabella Tipi";
inline constexpr T kSave = "Salva";
inline constexpr T kCancel = "Annulla";
inline constexpr T kExit = "Esci";
inline constexpr T kSaveEditsQuestion = "Salvare i cambiamenti effettuati?";
inline constexpr T kWarningTitle = " Avviso!";
inline constexpr T kBeyondTable = ", la tabella arriva solo a +12";   // a zone at +13 or +14, found by name

// Parameters dialog
inline constexpr T kParamsCaption = "Parametri";
inline constexpr T kLatitude = "Latitudine:";
inline constexpr T kLongitude = "Longitudine:";
inline constexpr T kHalfHourFrame = "Specificare se il sito adotta la Mezz'ora";
inline constexpr T kYes = "Si";
inline constexpr T kNo = "No";
inline constexpr T kAutoDst = "Abilita ora legale automatica";
inline constexpr T kOk = "OK";

// Summer-time rule dialog
inline constexpr T kRuleCaptionNorth = " Ora legale (Emisfero Nord)";
inline constexpr T kRuleCaptionSouth = " Ora legale (Emisfero Sud)";
inline constexpr T kStart = "Inizio ";
inline constexpr T kEnd = "Fine ";
inline constexpr T kMonth = "Mese:";
inline constexpr T kWeek = "Settimana:";
inline constexpr T kWeekday = "Giorno:";
inline constexpr T kApply = "Applica";
inline constexpr T kOkRule = "Ok";

// Date characters dialog
inline constexpr T kDateCharsCaption = "Caratteri Per le Date";
inline constexpr T kFirstDateChar = "Carattere Prima Data:";
inline constexpr T kSecondDateChar = "Carattere Seconda Data:";
inline constexpr T kDefault = "Default";
inline constexpr T kDefaultSymbol1 = "*";
inline constexpr T kDefaultSymbol2 = "°";

// File errors: the reason given after the file's name. A field or record
// number follows the texts that end in a blank.
inline constexpr T kMissing = "file mancante";
inline constexpr T kNotRegularFile = "non è un file regolare";
inline constexpr T kFileTooLarge = "file troppo grande";
inline constexpr T kReadFailed = "lettura non riuscita: ";
inline constexpr T kWriteFailed = "scrittura non riuscita: ";
inline constexpr T kReplaceFailed = "sostituzione non riuscita: ";
inline constexpr T kRecord = "record ";
inline constexpr T kField = "campo ";
inline constexpr T kMissingSuffix = " mancante";
inline constexpr T kIncompleteSuffix = " incompleto";
inline constexpr T kBadCharacter = ": carattere non valido";
inline constexpr T kNullCharacter = ": carattere nullo";
inline constexpr T kUnstorableCharacter = ": carattere non memorizzabile";
inline constexpr T kNotANumber = ": non è un numero";
inline constexpr T kNotWholeNumber = ": numero intero non valido";
inline constexpr T kOutOfRange = " fuori intervallo";
inline constexpr T kUnwritable = " non scrivibile";
inline constexpr T kStagedCopy = "copia provvisoria ";   // then "fusi.tmp"
// After a failed write of seg.dat while the program runs on (a warning).
inline constexpr T kRetriedAtClose = "; si riproverà alla chiusura";

// fusi.tz, the cities that follow the system's time-zone database: warnings
// on the standard error. Nothing stops; the rows concerned keep their class.
inline constexpr T kLine = ", riga ";                    // after the file's name, then a number
inline constexpr T kNoTab = ": manca la tabulazione fra nome e fuso";
inline constexpr T kNoName = ": nome mancante";
inline constexpr T kNoZone = ": fuso mancante";
inline constexpr T kNotUtf8 = ": testo non UTF-8";
inline constexpr T kUnknownZone = ": fuso sconosciuto ";   // then the zone's name
inline constexpr T kRowKeepsClass = "; la città segue la sua classe";
inline constexpr T kEveryRowKeepsClass = "; ogni città segue la sua classe";
inline constexpr T kNoZoneDatabase = "nessun database dei fusi orari (pacchetto tzdata): ";   // then why
inline constexpr T kNoZonesIn = "nessun fuso in ";   // then the folder
// The home follows the machine's zone: its files are written without asking.
inline constexpr T kTriedAgainInAMinute = "; nuovo tentativo fra un minuto";

// The settings folder: a start that cannot have one ends with these.
inline constexpr T kFolderUnusable = "Vemar non può usare la cartella delle impostazioni ";   // the folder, a line end, why
inline constexpr T kNoHome = "nessuna cartella per le impostazioni: HOME non è un percorso assoluto "
                             "e l'utente non ha una cartella home";
inline constexpr T kUnknownArgument = "argomento sconosciuto: ";
inline constexpr T kUsage = " (uso: vemar [--dir CARTELLA])";

// One program per settings directory (messages on the standard error)
inline constexpr T kInstanceUnreachable =
    "un'altra copia di Vemar usa già questa cartella ma non risponde: ";   // then the folder
// The start ends rather than risk a second copy over the same settings;
// the folder, a line end and why follow.
inline constexpr T kInstanceLockFailed =
    "Vemar non si avvia: non può verificare che nessun'altra copia usi la cartella ";
inline constexpr T kLockIsLink = "è un collegamento simbolico";
// The socket by which a later start finds the running one needs a folder no
// other user can enter; without one the running program does not answer.
inline constexpr T kSocketFolderNotPrivate = "cartella del socket non riservata all'utente: ";   // then the folder

// Information windows
inline constexpr T kInfoCaption = "Informazioni";
inline constexpr T kHelpCaption = "?";
inline constexpr std::array<T, 10> kHelpLines = {
    " ------------------------- Vemar 2.4 --------------------------",
    "",
    " Il Programma mostra gli orari in tempo reale",
    " di 54 città del mondo, tenendo conto del ",
    " cambiamento di data a secondo del fuso orario",
    " della città. E' possibile anche modificare il",
    " fuso orario in modo che il programma può",
    " essere utilizzato da qualsiasi parte del",
    " mondo.",
    "              Grazie per aver utilizzato \"Vemar\"",
};

// Why a file could not be read or written. The system's own messages follow
// its locale, so the common error numbers have their Italian text here.
inline std::string SystemErrorText(int errorNumber) {
    switch (errorNumber) {
    case EACCES: case EPERM: return "permesso negato";
    case ENOENT: return "file o cartella inesistente";
    case ENOSPC: return "spazio esaurito sul disco";
    case EDQUOT: return "quota del disco superata";
    case EROFS: return "file system di sola lettura";
    case EIO: return "errore di ingresso/uscita";
    case EISDIR: return "è una cartella";
    case ENOTDIR: return "non è una cartella";
    case ENAMETOOLONG: return "nome troppo lungo";
    case EMFILE: case ENFILE: return "troppi file aperti";
    case ELOOP: return "troppi collegamenti simbolici";
    case EBUSY: case ETXTBSY: return "file in uso";
    case EXDEV: return "collegamento fra dispositivi diversi";
    case EFBIG: return "file troppo grande";
    case ENOMEM: return "memoria insufficiente";
    case EINVAL: return "argomento non valido";
    default: return "errore di sistema " + std::to_string(errorNumber);
    }
}

// A dialog's save that failed: the file's name, ": " and why follow the first
// text; the dialog stays open.
inline constexpr T kSaveFailed = "Impossibile salvare ";
inline constexpr T kEditsKept = "Le modifiche restano nella finestra: si può riprovare, o scartarle con Annulla.";

// The fatal file message: the folder the program works in, so the user knows where to look.
inline constexpr T kFileErrorPrefix = "Errore nel file ";
inline constexpr T kFolderPrefix = "Cartella: ";

} // namespace vemar::texts
