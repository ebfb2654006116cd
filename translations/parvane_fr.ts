<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>Languages</name>
    <message>
        <source>   Parvane v2.4   by   Oskelin</source>
        <translation>   Parvane v2.4   par   Oskelin</translation>
    </message>
    <message>
        <source>   --- no SOURCE file loaded ---</source>
        <translation>   --- aucun fichier SOURCE chargé ---</translation>
    </message>
    <message>
        <source>   --- Load Image File</source>
        <translation>   --- Charger un fichier image</translation>
    </message>
    <message>
        <source>   --- Extract Textures from Duskvale Levels</source>
        <translation>   --- Extraire les textures des niveaux Duskvale</translation>
    </message>
    <message>
        <source>   --- Extract Animated Textures from DV Levels</source>
        <translation>   --- Extraire les textures animées des niveaux DV</translation>
    </message>
    <message>
        <source>GRID</source>
        <translation>GRILLE</translation>
    </message>
    <message>
        <source>TRANSPARENCY</source>
        <translation>TRANSPARENCE</translation>
    </message>
    <message>
        <source>ANIMATION</source>
        <translation>ANIMATION</translation>
    </message>
    <message>
        <source>Copy All ---&gt;</source>
        <translation>Tout copier ---&gt;</translation>
    </message>
    <message>
        <source>  Current Tile  </source>
        <translation>  Tuile courante  </translation>
    </message>
    <message>
        <source>  Clipboard  </source>
        <translation>  Presse-papiers  </translation>
    </message>
    <message>
        <source>AUTO EXPORT</source>
        <translation>EXPORT AUTO</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <source>AUTO IMPORT</source>
        <translation>IMPORT AUTO</translation>
    </message>
    <message>
        <source>   --- no TARGET file saved ---</source>
        <translation>   --- aucun fichier TARGET enregistré ---</translation>
    </message>
    <message>
        <source>   --- Save as Image File ( TGA, BMP, JPG )</source>
        <translation>   --- Enregistrer comme fichier image ( TGA, BMP, JPG )</translation>
    </message>
    <message>
        <source>   --- Create New</source>
        <translation>   --- Nouveau</translation>
    </message>
    <message>
        <source>   --- Reload a Texture Set File ( TGA, BMP, JPG )</source>
        <translation>   --- Recharger un jeu de textures ( TGA, BMP, JPG )</translation>
    </message>
    <message>
        <source>TRANSFORMATIONS</source>
        <translation>TRANSFORMATIONS</translation>
    </message>
    <message>
        <source>      Multi Tile</source>
        <translation>      Multi-tuiles</translation>
    </message>
    <message>
        <source>      64 x 64</source>
        <translation>      64 x 64</translation>
    </message>
    <message>
        <source>      128 x 128</source>
        <translation>      128 x 128</translation>
    </message>
    <message>
        <source>      256 x 256</source>
        <translation>      256 x 256</translation>
    </message>
    <message>
        <source>      Auto Size</source>
        <translation>      Taille auto</translation>
    </message>
    <message>
        <source>      Scroll Tile</source>
        <translation>      Tuile défilante</translation>
    </message>
    <message>
        <source>   --- no TEXTURES extracted ---</source>
        <translation>   --- aucune TEXTURE extraite ---</translation>
    </message>
    <message>
        <source>%1 x %2 pixels x %3</source>
        <translation>%1 x %2 pixels x %3</translation>
    </message>
    <message>
        <source>%1 x %2 pixels (%3 x %4 = %5 txtrs)</source>
        <translation>%1 x %2 pixels (%3 x %4 = %5 txtrs)</translation>
    </message>
    <message>
        <source>%1x%2</source>
        <translation>%1x%2</translation>
    </message>
    <message>
        <source>Not enough memory to show a picture of %1 x %2 pixels on the Source canvas.</source>
        <translation>Pas assez de mémoire pour afficher une image de %1 x %2 pixels sur le canevas Source.</translation>
    </message>
    <message>
        <source>     SOURCE CANVAS. Left-click and drag to select, right-click and drag to animate.</source>
        <translation>     CANEVAS SOURCE. Clic gauche et glisser pour sélectionner, clic droit et glisser pour animer.</translation>
    </message>
    <message>
        <source>     File options.</source>
        <translation>     Options de fichier.</translation>
    </message>
    <message>
        <source>     Source area info.</source>
        <translation>     Infos sur la zone Source.</translation>
    </message>
    <message>
        <source>     Reset: the grid goes back to the origin&apos;s position.</source>
        <translation>     Reset : la grille revient à sa position d&apos;origine.</translation>
    </message>
    <message>
        <source>     View: toggles the grid&apos;s visibility.</source>
        <translation>     Voir : affiche ou masque la grille.</translation>
    </message>
    <message>
        <source>     Style: selects the design of the grid.</source>
        <translation>     Style : choisit le dessin de la grille.</translation>
    </message>
    <message>
        <source>     Size: selects the resolution of the grid, in pixels ( 8x8, 16x16, 32x32, 64x64 ).</source>
        <translation>     Taille : choisit la résolution de la grille, en pixels ( 8x8, 16x16, 32x32, 64x64 ).</translation>
    </message>
    <message>
        <source>     None: textures are extracted as they are in-file.</source>
        <translation>     Aucune : les textures sont extraites telles qu&apos;elles sont dans le fichier.</translation>
    </message>
    <message>
        <source>     Convert: textures are rendered using magenta as transparent colour.</source>
        <translation>     Convertir : les textures sont rendues avec le magenta comme couleur transparente.</translation>
    </message>
    <message>
        <source>     Colour Picker: selects the colour to be replaced with magenta.</source>
        <translation>     Pipette : choisit la couleur à remplacer par du magenta.</translation>
    </message>
    <message>
        <source>     Alpha: extracts the alpha channel from the Source Canvas.</source>
        <translation>     Alpha : extrait la couche alpha du canevas Source.</translation>
    </message>
    <message>
        <source>     Stop: stops the texture animation.</source>
        <translation>     Stop : arrête l&apos;animation des textures.</translation>
    </message>
    <message>
        <source>     Speed: slows down the speed of the texture animation.</source>
        <translation>     Vitesse : ralentit l&apos;animation des textures.</translation>
    </message>
    <message>
        <source>     CENTRAL PANEL. Left-click on empty space to cancel animations, transformations or pasting.</source>
        <translation>     PANNEAU CENTRAL. Clic gauche dans le vide pour annuler animations, transformations ou collage.</translation>
    </message>
    <message>
        <source>     Replaces the Target Canvas with the Source Canvas, using the Grid.</source>
        <translation>     Remplace le canevas Target par le canevas Source, en suivant la grille.</translation>
    </message>
    <message>
        <source>     Resizes the selected tiles to standard sizes.</source>
        <translation>     Redimensionne les tuiles sélectionnées aux tailles standard.</translation>
    </message>
    <message>
        <source>     Colour pot: default transparent colour ( magenta = 255,0,255 )</source>
        <translation>     Pot de couleur : couleur transparente par défaut ( magenta = 255,0,255 )</translation>
    </message>
    <message>
        <source>     Colour pot: default empty colour ( black = 0,0,0 )</source>
        <translation>     Pot de couleur : couleur vide par défaut ( noir = 0,0,0 )</translation>
    </message>
    <message>
        <source>     Colour pot: suggested filler colour ( maroon = 128,0,0 ). Double-click to change the colour</source>
        <translation>     Pot de couleur : couleur de remplissage suggérée ( bordeaux = 128,0,0 ). Double-clic pour la changer</translation>
    </message>
    <message>
        <source>     Tile viewer.</source>
        <translation>     Aperçu de la tuile.</translation>
    </message>
    <message>
        <source>     Export tiles to the Clipboard</source>
        <translation>     Exporter les tuiles vers le presse-papiers</translation>
    </message>
    <message>
        <source>     Import tiles from the Clipboard</source>
        <translation>     Importer les tuiles du presse-papiers</translation>
    </message>
    <message>
        <source>     Export tiles to the Clipboard automatically</source>
        <translation>     Exporter automatiquement les tuiles vers le presse-papiers</translation>
    </message>
    <message>
        <source>     Import tiles from the Clipboard automatically</source>
        <translation>     Importer automatiquement les tuiles du presse-papiers</translation>
    </message>
    <message>
        <source>     Help &amp; Credits</source>
        <translation>     Aide &amp; Crédits</translation>
    </message>
    <message>
        <source>     TARGET CANVAS. Press [CTRL] to repeat pasting. Right-click to cancel animations, transformations or pasting.</source>
        <translation>     CANEVAS TARGET. [CTRL] pour coller plusieurs fois. Clic droit pour annuler animations, transformations ou collage.</translation>
    </message>
    <message>
        <source>     Target Canvas width in pages ( 1 or 2 ), being 1 = 256 pixels for the Level Editors, 2 = 512 pixels for Libraries.</source>
        <translation>     Largeur du canevas Target, 1 ou 2 pages : 256 pixels pour les éditeurs de niveaux, 512 pour les bibliothèques.</translation>
    </message>
    <message>
        <source>     Target Canvas height in pages, 1 to 32.</source>
        <translation>     Hauteur du canevas Target en pages, de 1 à 32.</translation>
    </message>
    <message>
        <source>     Target area info. Goes red if the number of tiles exceeds 256.</source>
        <translation>     Infos sur la zone Target. Passe au rouge au-delà de 256 tuiles.</translation>
    </message>
    <message>
        <source>     Stop: cancels the Transformations Mode.</source>
        <translation>     Stop : quitte le mode Transformations.</translation>
    </message>
    <message>
        <source>     Rotation: rotates a tile 90 degrees.</source>
        <translation>     Rotation : fait pivoter une tuile de 90 degrés.</translation>
    </message>
    <message>
        <source>     HFlip: mirrors a tile.</source>
        <translation>     Miroir H : retourne une tuile de gauche à droite.</translation>
    </message>
    <message>
        <source>     VFlip: inverts a tile.</source>
        <translation>     Miroir V : retourne une tuile de haut en bas.</translation>
    </message>
    <message>
        <source>     Swap: click-and-drag to exchange the position of two tiles.</source>
        <translation>     Échange : cliquer-glisser pour intervertir deux tuiles.</translation>
    </message>
    <message>
        <source>     Move: click-and-drag to move one tile to another position.</source>
        <translation>     Déplacement : cliquer-glisser pour déplacer une tuile ailleurs.</translation>
    </message>
    <message>
        <source>   [ %1 ]</source>
        <translation>   [ %1 ]</translation>
    </message>
    <message>
        <source>zoom: Ctrl+wheel, %1, %2, %3</source>
        <translation>zoom : Ctrl+molette, %1, %2, %3</translation>
    </message>
    <message>
        <source>undo: %1, redo: %2</source>
        <translation>annuler : %1, rétablir : %2</translation>
    </message>
    <message>
        <source>pixel %1, %2</source>
        <translation>pixel %1, %2</translation>
    </message>
    <message>
        <source>   cell %1, %2 (index %3)</source>
        <translation>   case %1, %2 (n° %3)</translation>
    </message>
    <message>
        <source>   page %1 of %2</source>
        <translation>   page %1 sur %2</translation>
    </message>
</context>
<context>
    <name>parvane::app::SourceWorkflow</name>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
</context>
<context>
    <name>parvane::app::Startup</name>
    <message>
        <source>Assembles texture sets of 64 x 64 tiles for the Duskvale level editors.</source>
        <translation>Assemble des jeux de textures de tuiles de 64 x 64 pour les éditeurs de niveaux de Duskvale.</translation>
    </message>
    <message>
        <source>A picture or a level file to open in the Source, as if dropped on it.</source>
        <translation>Une image ou un fichier de niveau à ouvrir sur la Source, comme s&apos;il y était déposé.</translation>
    </message>
</context>
<context>
    <name>parvane::app::TMain</name>
    <message>
        <source>Source canvas</source>
        <translation>Canevas Source</translation>
    </message>
    <message>
        <source>Source menu</source>
        <translation>Menu Source</translation>
    </message>
    <message>
        <source>Source size</source>
        <translation>Taille de la Source</translation>
    </message>
    <message>
        <source>Source tabs</source>
        <translation>Onglets de la Source</translation>
    </message>
    <message>
        <source>Reset grid</source>
        <translation>Réinitialiser la grille</translation>
    </message>
    <message>
        <source>View grid</source>
        <translation>Afficher la grille</translation>
    </message>
    <message>
        <source>Grid style</source>
        <translation>Style de la grille</translation>
    </message>
    <message>
        <source>Grid size</source>
        <translation>Taille de la grille</translation>
    </message>
    <message>
        <source>Grid size in pixels</source>
        <translation>Taille de la grille en pixels</translation>
    </message>
    <message>
        <source>Transparency none</source>
        <translation>Transparence aucune</translation>
    </message>
    <message>
        <source>Transparency convert to magenta</source>
        <translation>Transparence convertie en magenta</translation>
    </message>
    <message>
        <source>Colour picker</source>
        <translation>Pipette</translation>
    </message>
    <message>
        <source>Picked colour</source>
        <translation>Couleur prélevée</translation>
    </message>
    <message>
        <source>Alpha channel</source>
        <translation>Couche alpha</translation>
    </message>
    <message>
        <source>Stop Source animation</source>
        <translation>Arrêter l&apos;animation de la Source</translation>
    </message>
    <message>
        <source>Source animation speed</source>
        <translation>Vitesse de l&apos;animation de la Source</translation>
    </message>
    <message>
        <source>Source side</source>
        <translation>Côté Source</translation>
    </message>
    <message>
        <source>Central panel</source>
        <translation>Panneau central</translation>
    </message>
    <message>
        <source>Tile size</source>
        <translation>Taille des tuiles</translation>
    </message>
    <message>
        <source>Current tile area</source>
        <translation>Zone de la tuile courante</translation>
    </message>
    <message>
        <source>Magenta colour pot</source>
        <translation>Pot de couleur magenta</translation>
    </message>
    <message>
        <source>Black colour pot</source>
        <translation>Pot de couleur noire</translation>
    </message>
    <message>
        <source>Filler colour pot</source>
        <translation>Pot de remplissage</translation>
    </message>
    <message>
        <source>Current tile frame</source>
        <translation>Cadre de la tuile courante</translation>
    </message>
    <message>
        <source>Current tile</source>
        <translation>Tuile courante</translation>
    </message>
    <message>
        <source>Help and credits</source>
        <translation>Aide et crédits</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Ligne d&apos;état</translation>
    </message>
    <message>
        <source>Target canvas</source>
        <translation>Canevas Target</translation>
    </message>
    <message>
        <source>Target menu</source>
        <translation>Menu Target</translation>
    </message>
    <message>
        <source>Target width in pages</source>
        <translation>Largeur du Target en pages</translation>
    </message>
    <message>
        <source>Target size</source>
        <translation>Taille du Target</translation>
    </message>
    <message>
        <source>Target height in pages</source>
        <translation>Hauteur du Target en pages</translation>
    </message>
    <message>
        <source>Target tabs</source>
        <translation>Onglets du Target</translation>
    </message>
    <message>
        <source>No transformation</source>
        <translation>Aucune transformation</translation>
    </message>
    <message>
        <source>Rotate tile</source>
        <translation>Faire pivoter la tuile</translation>
    </message>
    <message>
        <source>Mirror tile</source>
        <translation>Retourner la tuile de gauche à droite</translation>
    </message>
    <message>
        <source>Invert tile</source>
        <translation>Retourner la tuile de haut en bas</translation>
    </message>
    <message>
        <source>Swap tiles</source>
        <translation>Intervertir des tuiles</translation>
    </message>
    <message>
        <source>Move tile</source>
        <translation>Déplacer une tuile</translation>
    </message>
    <message>
        <source>Stop Target animation</source>
        <translation>Arrêter l&apos;animation du Target</translation>
    </message>
    <message>
        <source>Target animation speed</source>
        <translation>Vitesse de l&apos;animation du Target</translation>
    </message>
    <message>
        <source>%1 picture</source>
        <translation>%1, image</translation>
    </message>
    <message>
        <source>This image was too big! It was cropped to %1 pixels.
The right canvas must be used with standard Texture Sets, only.</source>
        <translation>Cette image était trop grande ! Elle a été recadrée à %1 pixels.
Le canevas de droite ne reçoit que des jeux de textures standard.</translation>
    </message>
</context>
<context>
    <name>parvane::app::UnsavedWork</name>
    <message>
        <source>The Target canvas has changes that are not saved. Save them before closing?</source>
        <translation>Le canevas Target a des modifications non enregistrées. Les enregistrer avant de fermer&#x202f;?</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Ne pas enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>parvane::imaging::PicturePreview</name>
    <message>
        <source>No preview</source>
        <translation>Pas d&apos;aperçu</translation>
    </message>
</context>
<context>
    <name>parvane::imaging::TFIO</name>
    <message>
        <source>   ----- LOADING IMAGE FILE -----</source>
        <translation>   ----- CHARGEMENT D&apos;UN FICHIER IMAGE -----</translation>
    </message>
    <message>
        <source>   ----- SAVING IMAGE FILE -----</source>
        <translation>   ----- ENREGISTREMENT D&apos;UN FICHIER IMAGE -----</translation>
    </message>
    <message>
        <source>Supported Input Files</source>
        <translation>Fichiers lisibles</translation>
    </message>
    <message>
        <source>Supported Output Files</source>
        <translation>Fichiers enregistrables</translation>
    </message>
    <message>
        <source>Windows or OS/2 Bitmap (*.bmp)</source>
        <translation>Bitmap Windows ou OS/2 (*.bmp)</translation>
    </message>
    <message>
        <source>Jpeg File Interchange (*.jpg)</source>
        <translation>JPEG File Interchange (*.jpg)</translation>
    </message>
    <message>
        <source>Tagged Image File (*.tif)</source>
        <translation>Tagged Image File (*.tif)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
    <message>
        <source>This file has a non supported compression scheme.</source>
        <translation>Ce fichier utilise une méthode de compression non prise en charge.</translation>
    </message>
    <message>
        <source>Bitmap image is not valid</source>
        <translation>L&apos;image bitmap n&apos;est pas valide</translation>
    </message>
    <message>
        <source>%1 format not supported.</source>
        <translation>Format %1 non pris en charge.</translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>Erreur JPEG n° %1</translation>
    </message>
    <message>
        <source>Not enough memory to read this picture.</source>
        <translation>Pas assez de mémoire pour lire cette image.</translation>
    </message>
</context>
<context>
    <name>parvane::level::TDVL</name>
    <message>
        <source>Duskvale Files</source>
        <translation>Fichiers Duskvale</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
    <message>
        <source>The level file is damaged and could not be read (%1).</source>
        <translation>Le fichier de niveau est endommagé et n&apos;a pas pu être lu (%1).</translation>
    </message>
    <message>
        <source>The level file could not be read (%1).</source>
        <translation>Le fichier de niveau n&apos;a pas pu être lu (%1).</translation>
    </message>
    <message>
        <source>%1 is not a Duskvale level file (.PHD, .DVX, .DV2, .DV4 or .DVC).</source>
        <translation>%1 n&apos;est pas un fichier de niveau Duskvale (.PHD, .DVX, .DV2, .DV4 ou .DVC).</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 n&apos;existe pas.</translation>
    </message>
    <message>
        <source>%1 is not a Duskvale level.</source>
        <translation>%1 n&apos;est pas un niveau Duskvale.</translation>
    </message>
    <message>
        <source>%1 has no animated textures.</source>
        <translation>%1 n&apos;a pas de textures animées.</translation>
    </message>
    <message>
        <source>   Loading...</source>
        <translation>   Chargement...</translation>
    </message>
    <message>
        <source>   ----- EXTRAIRE TEXTURES DUSKVALE -----</source>
        <translation>   ----- EXTRAIRE TEXTURES DUSKVALE -----</translation>
    </message>
</context>
</TS>
