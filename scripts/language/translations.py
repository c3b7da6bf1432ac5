# Texts of the eleven other languages, section by section, heading row first.
LANGUAGES = ["en", "de", "fr", "nl", "it", "es", "pt", "ru", "pl", "cs", "ro", "zh"]
TRANSLATIONS = {lang: {} for lang in LANGUAGES[1:]}
