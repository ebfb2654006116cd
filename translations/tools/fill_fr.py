#!/usr/bin/env python3
"""Writes the French translations below into translations/parvane_fr.ts, entry by entry.

The catalogue is the translator's file (Qt Linguist opens it); this script only seeded it.
Run after `cmake --build build --target update_translations` when new texts appear, with their
French added to FRENCH, or edit the catalogue in Qt Linguist directly.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

FRENCH = {
    # The main window's text table.
    "   Parvane v2.4   by   Oskelin": "   Parvane v2.4   par   Oskelin",
    "   --- no SOURCE file loaded ---": "   --- aucun fichier SOURCE chargé ---",
    "   --- Load Image File": "   --- Charger un fichier image",
    "   --- Extract Textures from Duskvale Levels": "   --- Extraire les textures des niveaux Duskvale",
    "   --- Extract Animated Textures from DV Levels": "   --- Extraire les textures animées des niveaux DV",
    "GRID": "GRILLE",
    "TRANSPARENCY": "TRANSPARENCE",
    "ANIMATION": "ANIMATION",
    "Copy All --->": "Tout copier --->",
    "  Current Tile  ": "  Tuile courante  ",
    "  Clipboard  ": "  Presse-papiers  ",
    "AUTO EXPORT": "EXPORT AUTO",
    "Export": "Exporter",
    "Import": "Importer",
    "AUTO IMPORT": "IMPORT AUTO",
    "   --- no TARGET file saved ---": "   --- aucun fichier TARGET enregistré ---",
    "   --- Save as Image File ( TGA, BMP, JPG )": "   --- Enregistrer comme fichier image ( TGA, BMP, JPG )",
    "   --- Create New": "   --- Nouveau",
    "   --- Reload a Texture Set File ( TGA, BMP, JPG )": "   --- Recharger un jeu de textures ( TGA, BMP, JPG )",
    "TRANSFORMATIONS": "TRANSFORMATIONS",
    "      Multi Tile": "      Multi-tuiles",
    "      64 x 64": "      64 x 64",
    "      128 x 128": "      128 x 128",
    "      256 x 256": "      256 x 256",
    "      Auto Size": "      Taille auto",
    "      Scroll Tile": "      Tuile défilante",
    "   --- no TEXTURES extracted ---": "   --- aucune TEXTURE extraite ---",
    "%1 x %2 pixels x %3": "%1 x %2 pixels x %3",
    "%1 x %2 pixels (%3 x %4 = %5 txtrs)": "%1 x %2 pixels (%3 x %4 = %5 txtrs)",
    "%1x%2": "%1x%2",
    "Not enough memory to show a picture of %1 x %2 pixels on the Source canvas.":
        "Pas assez de mémoire pour afficher une image de %1 x %2 pixels sur le canevas Source.",
    "     SOURCE CANVAS. Left-click and drag to select, right-click and drag to animate.":
        "     CANEVAS SOURCE. Clic gauche et glisser pour sélectionner, clic droit et glisser pour animer.",
    "     File options.": "     Options de fichier.",
    "     Source area info.": "     Infos sur la zone Source.",
    "     Reset: the grid goes back to the origin's position.":
        "     Reset : la grille revient à sa position d'origine.",
    "     View: toggles the grid's visibility.": "     Voir : affiche ou masque la grille.",
    "     Style: selects the design of the grid.": "     Style : choisit le dessin de la grille.",
    "     Size: selects the resolution of the grid, in pixels ( 8x8, 16x16, 32x32, 64x64 ).":
        "     Taille : choisit la résolution de la grille, en pixels ( 8x8, 16x16, 32x32, 64x64 ).",
    "     None: textures are extracted as they are in-file.":
        "     Aucune : les textures sont extraites telles qu'elles sont dans le fichier.",
    "     Convert: textures are rendered using magenta as transparent colour.":
        "     Convertir : les textures sont rendues avec le magenta comme couleur transparente.",
    "     Colour Picker: selects the colour to be replaced with magenta.":
        "     Pipette : choisit la couleur à remplacer par du magenta.",
    "     Alpha: extracts the alpha channel from the Source Canvas.":
        "     Alpha : extrait la couche alpha du canevas Source.",
    "     Stop: stops the texture animation.": "     Stop : arrête l'animation des textures.",
    "     Speed: slows down the speed of the texture animation.":
        "     Vitesse : ralentit l'animation des textures.",
    "     CENTRAL PANEL. Left-click on empty space to cancel animations, transformations or pasting.":
        "     PANNEAU CENTRAL. Clic gauche sur un espace vide pour annuler animations, transformations ou collage.",
    "     Replaces the Target Canvas with the Source Canvas, using the Grid.":
        "     Remplace le canevas Target par le canevas Source, en suivant la grille.",
    "     Resizes the selected tiles to standard sizes.":
        "     Redimensionne les tuiles sélectionnées aux tailles standard.",
    "     Colour pot: default transparent colour ( magenta = 255,0,255 )":
        "     Pot de couleur : couleur transparente par défaut ( magenta = 255,0,255 )",
    "     Colour pot: default empty colour ( black = 0,0,0 )":
        "     Pot de couleur : couleur vide par défaut ( noir = 0,0,0 )",
    "     Colour pot: suggested filler colour ( maroon = 128,0,0 ). Double-click to change the colour":
        "     Pot de couleur : couleur de remplissage suggérée ( bordeaux = 128,0,0 ). Double-clic pour la changer",
    "     Tile viewer.": "     Aperçu de la tuile.",
    "     Export tiles to the Clipboard": "     Exporter les tuiles vers le presse-papiers",
    "     Import tiles from the Clipboard": "     Importer les tuiles du presse-papiers",
    "     Export tiles to the Clipboard automatically":
        "     Exporter automatiquement les tuiles vers le presse-papiers",
    "     Import tiles from the Clipboard automatically":
        "     Importer automatiquement les tuiles du presse-papiers",
    "     Help & Credits": "     Aide & Crédits",
    "     TARGET CANVAS. Press [CTRL] to repeat pasting. Right-click to cancel animations, transformations or pasting.":
        "     CANEVAS TARGET. [CTRL] pour coller plusieurs fois. Clic droit pour annuler animations, transformations ou collage.",
    "     Target Canvas width in pages ( 1 or 2 ), being 1 = 256 pixels for the Level Editors, 2 = 512 pixels for Libraries.":
        "     Largeur du canevas Target, 1 ou 2 pages : 256 pixels pour les éditeurs de niveaux, 512 pour les bibliothèques.",
    "     Target Canvas height in pages, 1 to 32.": "     Hauteur du canevas Target en pages, de 1 à 32.",
    "     Target area info. Goes red if the number of tiles exceeds 256.":
        "     Infos sur la zone Target. Passe au rouge au-delà de 256 tuiles.",
    "     Stop: cancels the Transformations Mode.": "     Stop : quitte le mode Transformations.",
    "     Rotation: rotates a tile 90 degrees.": "     Rotation : fait pivoter une tuile de 90 degrés.",
    "     HFlip: mirrors a tile.": "     Miroir H : retourne une tuile de gauche à droite.",
    "     VFlip: inverts a tile.": "     Miroir V : retourne une tuile de haut en bas.",
    "     Swap: click-and-drag to exchange the position of two tiles.":
        "     Échange : cliquer-glisser pour intervertir deux tuiles.",
    "     Move: click-and-drag to move one tile to another position.":
        "     Déplacement : cliquer-glisser pour déplacer une tuile ailleurs.",
    # The window's other words.
    "Unknown": "Inconnu",
    "Assembles texture sets of 64 x 64 tiles for the Duskvale level editors.":
        "Assemble des jeux de textures de tuiles de 64 x 64 pour les éditeurs de niveaux de Duskvale.",
    "A picture or a level file to open in the Source, as if dropped on it.":
        "Une image ou un fichier de niveau à ouvrir sur la Source, comme s'il y était déposé.",
    "Source canvas": "Canevas Source",
    "Source menu": "Menu Source",
    "Source size": "Taille de la Source",
    "Source tabs": "Onglets de la Source",
    "Reset grid": "Réinitialiser la grille",
    "View grid": "Afficher la grille",
    "Grid style": "Style de la grille",
    "Grid size": "Taille de la grille",
    "Grid size in pixels": "Taille de la grille en pixels",
    "Transparency none": "Transparence aucune",
    "Transparency convert to magenta": "Transparence convertie en magenta",
    "Colour picker": "Pipette",
    "Picked colour": "Couleur prélevée",
    "Alpha channel": "Couche alpha",
    "Stop Source animation": "Arrêter l'animation de la Source",
    "Source animation speed": "Vitesse de l'animation de la Source",
    "Source side": "Côté Source",
    "Central panel": "Panneau central",
    "Tile size": "Taille des tuiles",
    "Current tile area": "Zone de la tuile courante",
    "Magenta colour pot": "Pot de couleur magenta",
    "Black colour pot": "Pot de couleur noire",
    "Filler colour pot": "Pot de remplissage",
    "Current tile frame": "Cadre de la tuile courante",
    "Current tile": "Tuile courante",
    "Help and credits": "Aide et crédits",
    "Status line": "Ligne d'état",
    "Target canvas": "Canevas Target",
    "Target menu": "Menu Target",
    "Target width in pages": "Largeur du Target en pages",
    "Target size": "Taille du Target",
    "Target height in pages": "Hauteur du Target en pages",
    "Target tabs": "Onglets du Target",
    "No transformation": "Aucune transformation",
    "Rotate tile": "Faire pivoter la tuile",
    "Mirror tile": "Retourner la tuile de gauche à droite",
    "Invert tile": "Retourner la tuile de haut en bas",
    "Swap tiles": "Intervertir des tuiles",
    "Move tile": "Déplacer une tuile",
    "Stop Target animation": "Arrêter l'animation du Target",
    "Target animation speed": "Vitesse de l'animation du Target",
    "%1 picture": "%1, image",
    "This image was too big! It was cropped to %1 pixels.\nThe right canvas must be used with standard Texture Sets, only.":
        "Cette image était trop grande ! Elle a été recadrée à %1 pixels.\nLe canevas de droite ne reçoit que des jeux de textures standard.",
    # The picture file and level windows.
    "No preview": "Pas d'aperçu",
    "   ----- LOADING IMAGE FILE -----": "   ----- CHARGEMENT D'UN FICHIER IMAGE -----",
    "   ----- SAVING IMAGE FILE -----": "   ----- ENREGISTREMENT D'UN FICHIER IMAGE -----",
    "Supported Input Files": "Fichiers lisibles",
    "Supported Output Files": "Fichiers enregistrables",
    "Windows or OS/2 Bitmap (*.bmp)": "Bitmap Windows ou OS/2 (*.bmp)",
    "Jpeg File Interchange (*.jpg)": "JPEG File Interchange (*.jpg)",
    "Tagged Image File (*.tif)": "Tagged Image File (*.tif)",
    "All Files (*.*)": "Tous les fichiers (*.*)",
    "This file has a non supported compression scheme.":
        "Ce fichier utilise une méthode de compression non prise en charge.",
    "Bitmap image is not valid": "L'image bitmap n'est pas valide",
    "%1 format not supported.": "Format %1 non pris en charge.",
    "JPEG error #%1": "Erreur JPEG n° %1",
    "Duskvale Files": "Fichiers Duskvale",
    "The level file is damaged and could not be read (%1).":
        "Le fichier de niveau est endommagé et n'a pas pu être lu (%1).",
    "The level file could not be read (%1).": "Le fichier de niveau n'a pas pu être lu (%1).",
    "   Loading...": "   Chargement...",
    "   ----- EXTRAIRE TEXTURES DUSKVALE -----": "   ----- EXTRAIRE TEXTURES DUSKVALE -----",
}


def main() -> int:
    ts = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parents[1] / "parvane_fr.ts")
    tree = ET.parse(ts)
    missing = []
    for message in tree.getroot().iter("message"):
        source = message.find("source").text
        translation = message.find("translation")
        if source in FRENCH:
            translation.text = FRENCH[source]
            translation.attrib.pop("type", None)
        elif translation.text is None:
            missing.append(source)
    tree.write(ts, encoding="utf-8", xml_declaration=True)
    for source in missing:
        print(f"no French for: {source!r}", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
