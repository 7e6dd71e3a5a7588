// The local pages' texts in every language nuvio offers. Each page names its texts with
// data-t attributes; the language comes from the page's "l" parameter.
var nuvioTexts = {
  dansk: {
    welcome: "Velkommen til nuvio",
    intro: "nuvio henter overskrifterne fra de nyhedsfeeds, du vælger, og viser dem her, med de nye markeret.",
    start1: "Vælg dine feeds under Funktioner › Indstillinger › Nyheder.",
    start2: "Knapperne øverst viser nyhederne, netradioen og søgesiden.",
    start3: "Netradioen spiller videre, mens du læser nyheder.",
    searchTitle: "Søg på nettet", searchButton: "Søg", searchHint: "Resultaterne åbnes i din browser.",
    radioTitle: "NetRadio", radioDanish: "Danske kanaler", radioWorld: "Internationale kanaler",
    radioOutside: "Åbn i din afspiller",
    aboutTitle: "Om nuvio", aboutText: "En lille nyhedslæser til skrivebordet.",
    version: "Version", language: "Sprog"
  },
  english: {
    welcome: "Welcome to nuvio",
    intro: "nuvio fetches the headlines of the news feeds you choose and shows them here, with the new ones marked.",
    start1: "Choose your feeds under Tools › Settings › News.",
    start2: "The buttons at the top show the news, the net radio and the search page.",
    start3: "The net radio goes on playing while you read the news.",
    searchTitle: "Search the web", searchButton: "Search", searchHint: "The results open in your browser.",
    radioTitle: "Net radio", radioDanish: "Danish stations", radioWorld: "International stations",
    radioOutside: "Open in your player",
    aboutTitle: "About nuvio", aboutText: "A small news reader for the desktop.",
    version: "Version", language: "Language"
  },
  svenska: {
    welcome: "Välkommen till nuvio",
    intro: "nuvio hämtar rubrikerna från de nyhetsflöden du väljer och visar dem här, med de nya markerade.",
    start1: "Välj dina flöden under Verktyg › Inställningar › Nyheter.",
    start2: "Knapparna högst upp visar nyheterna, nätradion och söksidan.",
    start3: "Nätradion fortsätter att spela medan du läser nyheter.",
    searchTitle: "Sök på webben", searchButton: "Sök", searchHint: "Resultaten öppnas i din webbläsare.",
    radioTitle: "Nätradio", radioDanish: "Danska kanaler", radioWorld: "Internationella kanaler",
    radioOutside: "Öppna i din spelare",
    aboutTitle: "Om nuvio", aboutText: "En liten nyhetsläsare för skrivbordet.",
    version: "Version", language: "Språk"
  },
  norsk: {
    welcome: "Velkommen til nuvio",
    intro: "nuvio henter overskriftene fra nyhetsfeedene du velger, og viser dem her, med de nye merket.",
    start1: "Velg feedene dine under Verktøy › Innstillinger › Nyheter.",
    start2: "Knappene øverst viser nyhetene, nettradioen og søkesiden.",
    start3: "Nettradioen fortsetter å spille mens du leser nyheter.",
    searchTitle: "Søk på nettet", searchButton: "Søk", searchHint: "Resultatene åpnes i nettleseren din.",
    radioTitle: "Nettradio", radioDanish: "Danske kanaler", radioWorld: "Internasjonale kanaler",
    radioOutside: "Åpne i spilleren din",
    aboutTitle: "Om nuvio", aboutText: "En liten nyhetsleser for skrivebordet.",
    version: "Versjon", language: "Språk"
  },
  deutsch: {
    welcome: "Willkommen bei nuvio",
    intro: "nuvio holt die Schlagzeilen der Nachrichtenfeeds, die Sie wählen, und zeigt sie hier, die neuen markiert.",
    start1: "Wählen Sie Ihre Feeds unter Extras › Einstellungen › Nachrichten.",
    start2: "Die Schaltflächen oben zeigen die Nachrichten, das Internetradio und die Suchseite.",
    start3: "Das Internetradio spielt weiter, während Sie Nachrichten lesen.",
    searchTitle: "Im Web suchen", searchButton: "Suchen", searchHint: "Die Ergebnisse öffnen sich in Ihrem Browser.",
    radioTitle: "Internetradio", radioDanish: "Dänische Sender", radioWorld: "Internationale Sender",
    radioOutside: "Im Player öffnen",
    aboutTitle: "Über nuvio", aboutText: "Ein kleiner Nachrichtenleser für den Schreibtisch.",
    version: "Version", language: "Sprache"
  }
};

function nuvioLanguage() {
  var match = /[?&]l=([^&]*)/.exec(window.location.search);
  var key = match ? decodeURIComponent(match[1]) : "dansk";
  return nuvioTexts.hasOwnProperty(key) ? key : "dansk";
}

function nuvioApplyTexts() {
  var texts = nuvioTexts[nuvioLanguage()];
  var nodes = document.querySelectorAll("[data-t]");
  for (var i = 0; i < nodes.length; i++) {
    var text = texts[nodes[i].getAttribute("data-t")];
    if (text === undefined) continue;
    if (nodes[i].tagName === "INPUT") nodes[i].value = text; else nodes[i].textContent = text;
  }
  document.documentElement.lang = { dansk: "da", english: "en", svenska: "sv", norsk: "no", deutsch: "de" }[nuvioLanguage()];
}

document.addEventListener("DOMContentLoaded", nuvioApplyTexts);
