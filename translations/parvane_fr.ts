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
        <translation>     Réinitialiser&#xa0;: la grille revient à sa position d&apos;origine.</translation>
    </message>
    <message>
        <source>     View: toggles the grid&apos;s visibility.</source>
        <translation>     Voir&#xa0;: affiche ou masque la grille.</translation>
    </message>
    <message>
        <source>     Style: selects the design of the grid.</source>
        <translation>     Style&#xa0;: choisit le dessin de la grille.</translation>
    </message>
    <message>
        <source>     Size: selects the resolution of the grid, in pixels ( 8x8, 16x16, 32x32, 64x64 ).</source>
        <translation>     Taille&#xa0;: choisit la résolution de la grille, en pixels ( 8x8, 16x16, 32x32, 64x64 ).</translation>
    </message>
    <message>
        <source>     None: textures are extracted as they are in-file.</source>
        <translation>     Aucune&#xa0;: les textures sont extraites telles qu&apos;elles sont dans le fichier.</translation>
    </message>
    <message>
        <source>     Convert: textures are rendered using magenta as transparent colour.</source>
        <translation>     Convertir&#xa0;: les textures sont rendues avec le magenta comme couleur transparente.</translation>
    </message>
    <message>
        <source>     Colour Picker: selects the colour to be replaced with magenta.</source>
        <translation>     Pipette&#xa0;: choisit la couleur à remplacer par du magenta.</translation>
    </message>
    <message>
        <source>     Alpha: extracts the alpha channel from the Source Canvas.</source>
        <translation>     Alpha&#xa0;: extrait la couche alpha du canevas Source.</translation>
    </message>
    <message>
        <source>     Stop: stops the texture animation.</source>
        <translation>     Stop&#xa0;: arrête l&apos;animation des textures.</translation>
    </message>
    <message>
        <source>     Speed: slows down the speed of the texture animation.</source>
        <translation>     Vitesse&#xa0;: ralentit l&apos;animation des textures.</translation>
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
        <translation>     Pot de couleur&#xa0;: couleur transparente par défaut ( magenta = 255,0,255 )</translation>
    </message>
    <message>
        <source>     Colour pot: default empty colour ( black = 0,0,0 )</source>
        <translation>     Pot de couleur&#xa0;: couleur vide par défaut ( noir = 0,0,0 )</translation>
    </message>
    <message>
        <source>     Colour pot: suggested filler colour ( maroon = 128,0,0 ). Double-click to change the colour</source>
        <translation>     Pot de couleur&#xa0;: couleur de remplissage suggérée ( bordeaux = 128,0,0 ). Double-clic pour la changer</translation>
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
        <translation>     Largeur du canevas Target, 1 ou 2 pages&#xa0;: 256 pixels pour les éditeurs de niveaux, 512 pour les bibliothèques.</translation>
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
        <translation>     Stop&#xa0;: quitte le mode Transformations.</translation>
    </message>
    <message>
        <source>     Rotation: rotates a tile 90 degrees.</source>
        <translation>     Rotation&#xa0;: fait pivoter une tuile de 90 degrés.</translation>
    </message>
    <message>
        <source>     HFlip: mirrors a tile.</source>
        <translation>     Miroir H&#xa0;: retourne une tuile de gauche à droite.</translation>
    </message>
    <message>
        <source>     VFlip: inverts a tile.</source>
        <translation>     Miroir V&#xa0;: retourne une tuile de haut en bas.</translation>
    </message>
    <message>
        <source>     Swap: click-and-drag to exchange the position of two tiles.</source>
        <translation>     Échange&#xa0;: cliquer-glisser pour intervertir deux tuiles.</translation>
    </message>
    <message>
        <source>     Move: click-and-drag to move one tile to another position.</source>
        <translation>     Déplacement&#xa0;: cliquer-glisser pour déplacer une tuile ailleurs.</translation>
    </message>
    <message>
        <source>   [ %1 ]</source>
        <translation>   [ %1 ]</translation>
    </message>
    <message>
        <source>zoom: Ctrl+wheel, %1, %2, %3</source>
        <translation>zoom&#xa0;: Ctrl+molette, %1, %2, %3</translation>
    </message>
    <message>
        <source>undo: %1, redo: %2</source>
        <translation>annuler&#xa0;: %1, rétablir&#xa0;: %2</translation>
    </message>
    <message>
        <source>pixel %1, %2</source>
        <translation>pixel %1, %2</translation>
    </message>
    <message>
        <source>   cell %1, %2 (index %3)</source>
        <translation>   case %1, %2 (n°&#xa0;%3)</translation>
    </message>
    <message>
        <source>   page %1 of %2</source>
        <translation>   page %1 sur %2</translation>
    </message>
    <message>
        <source>   --- Edit Image File in the Picture Editor</source>
        <translation>   --- Modifier le fichier image dans l&apos;éditeur d&apos;images</translation>
    </message>
    <message>
        <source>Source file changed on disk: reloaded.</source>
        <translation>Fichier Source modifié sur le disque&#xa0;: rechargé.</translation>
    </message>
    <message>
        <source>Source file changed on disk but could not be read: kept the previous picture.</source>
        <translation>Fichier Source modifié sur le disque mais illisible&#xa0;: l&apos;image précédente est conservée.</translation>
    </message>
    <message>
        <source>Source file gone from disk: the picture stays, and reloads when the file is back.</source>
        <translation>Fichier Source disparu du disque&#xa0;: l&apos;image reste, et se recharge au retour du fichier.</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Source picture sent to the picture editor: saved changes show here by themselves.</source>
        <translation>Image Source envoyée à l&apos;éditeur d&apos;images&#xa0;: les modifications enregistrées s&apos;afficheront ici d&apos;elles-mêmes.</translation>
    </message>
    <message>
        <source>Only a picture file loaded in the Source opens in the picture editor.</source>
        <translation>Seul un fichier image chargé sur la Source s&apos;ouvre dans l&apos;éditeur d&apos;images.</translation>
    </message>
    <message>
        <source>The Source picture file is no longer on disk.</source>
        <translation>Le fichier de l&apos;image Source n&apos;est plus sur le disque.</translation>
    </message>
    <message>
        <source>The desktop has no program to open the Source picture.</source>
        <translation>Le bureau n&apos;a aucun programme pour ouvrir l&apos;image Source.</translation>
    </message>
    <message>
        <source>     Edit: opens the Source picture in the picture editor; saved changes reload.</source>
        <translation>     Modifier&#xa0;: ouvre l&apos;image Source dans l&apos;éditeur d&apos;images&#x202f;; ses modifications se rechargent.</translation>
    </message>
    <message>
        <source>TILES</source>
        <translation>TUILES</translation>
    </message>
    <message>
        <source>     Tile budget: distinct tiles against the editors&apos; 256, used cells, copies, empty cells. Click for the groups.</source>
        <translation>     Budget de tuiles&#xa0;: tuiles distinctes face aux 256 des éditeurs, cases utilisées, copies, vides. Clic&#xa0;: les groupes.</translation>
    </message>
    <message>
        <source>     Tolerance: how much a copy may differ, as a mean per colour ( 0 = identical ).</source>
        <translation>     Tolérance&#xa0;: écart permis à une copie, en moyenne par couleur ( 0 = identique ).</translation>
    </message>
    <message>
        <source>     Turned copies: also finds copies that are rotated or mirrored.</source>
        <translation>     Copies tournées&#xa0;: trouve aussi les copies pivotées ou retournées.</translation>
    </message>
    <message>
        <source>     Show copies: outlines copies in orange and the tiles they repeat in green.</source>
        <translation>     Montrer les copies&#xa0;: entoure les copies en orange et les tuiles qu’elles répètent en vert.</translation>
    </message>
    <message>
        <source>     Compact: keeps each distinct tile once, in order, on fewer pages. Can be undone.</source>
        <translation>     Compacter&#xa0;: garde chaque tuile distincte une fois, dans l’ordre, sur moins de pages. Annulable.</translation>
    </message>
    <message>
        <source>     Export index map: writes the old and new tile numbers of Compact as a CSV file.</source>
        <translation>     Exporter la table d’index&#xa0;: écrit les anciens et nouveaux numéros de Compacter en CSV.</translation>
    </message>
    <message>
        <source>     Wrap preview: shows the tile under the pointer repeated 3 x 3.</source>
        <translation>     Aperçu en mosaïque&#xa0;: montre la tuile sous le pointeur répétée 3 x 3.</translation>
    </message>
    <message>
        <source>     The tile repeated 3 x 3: its seams show where its edges meet.</source>
        <translation>     La tuile répétée 3 x 3&#xa0;: ses raccords montrent où ses bords se rejoignent.</translation>
    </message>
    <message>
        <source>     Half offset: moves the repeat by 32 pixels, the seams meet in the middle.</source>
        <translation>     Demi-décalage&#xa0;: décale la répétition de 32 pixels, les raccords se rejoignent au milieu.</translation>
    </message>
    <message>
        <source>%1 / %2 tiles, %3 used
%4 copies, %5 empty</source>
        <translation>%1 / %2 tuiles, %3 utilisées
%4 copies, %5 vides</translation>
    </message>
    <message>
        <source>%1 distinct tiles of the editors&apos; %2, %3 used cells, %4 copies, %5 empty cells</source>
        <translation>%1 tuiles distinctes sur les %2 des éditeurs, %3 cases utilisées, %4 copies, %5 cases vides</translation>
    </message>
    <message>
        <source>tile %1, its copies: %2</source>
        <translation>tuile %1, ses copies&#xa0;: %2</translation>
    </message>
    <message>
        <source>no copies</source>
        <translation>aucune copie</translation>
    </message>
    <message>
        <source>Compacted: %1 tiles kept, page count %2.</source>
        <translation>Compacté&#xa0;: %1 tuiles gardées, nombre de pages %2.</translation>
    </message>
    <message>
        <source>Nothing to compact: no copies and no gaps.</source>
        <translation>Rien à compacter&#xa0;: ni copies ni trous.</translation>
    </message>
    <message>
        <source>Export index map</source>
        <translation>Exporter la table d’index</translation>
    </message>
    <message>
        <source>Index maps (*.csv)</source>
        <translation>Tables d’index (*.csv)</translation>
    </message>
    <message>
        <source>Index map written to %1</source>
        <translation>Table d’index écrite dans %1</translation>
    </message>
    <message>
        <source>The index map could not be written to %1: %2</source>
        <translation>La table d’index n’a pas pu être écrite dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Wrap preview</source>
        <translation>Aperçu en mosaïque</translation>
    </message>
    <message>
        <source>half offset</source>
        <translation>demi-décalage</translation>
    </message>
    <message>
        <source>current tile</source>
        <translation>tuile courante</translation>
    </message>
    <message>
        <source>Target, tile %1</source>
        <translation>Target, tuile %1</translation>
    </message>
    <message>
        <source>Source, at %1, %2</source>
        <translation>Source, à %1, %2</translation>
    </message>
    <message>
        <source>   copy of %1, %2</source>
        <translation>   copie de %1, %2</translation>
    </message>
</context>
<context>
    <name>Reason</name>
    <message>
        <source>The file does not exist.</source>
        <translation>Le fichier n&apos;existe pas.</translation>
    </message>
    <message>
        <source>This is a folder, not a file.</source>
        <translation>C&apos;est un dossier, pas un fichier.</translation>
    </message>
    <message>
        <source>This is not a regular file.</source>
        <translation>Ce n&apos;est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The file cannot be opened (%1).</source>
        <translation>Le fichier ne peut pas être ouvert (%1).</translation>
    </message>
    <message>
        <source>The file cannot be read (%1).</source>
        <translation>Le fichier ne peut pas être lu (%1).</translation>
    </message>
    <message>
        <source>The file is larger than any picture Parvane can hold.</source>
        <translation>Le fichier dépasse la taille de toute image que Parvane peut contenir.</translation>
    </message>
    <message>
        <source>The file ends after %1 of %2 bytes.</source>
        <translation>Le fichier s&apos;arrête après %1 des %2 octets attendus.</translation>
    </message>
    <message>
        <source>The picture&apos;s pixels do not fit in the memory left.</source>
        <translation>Les pixels de l&apos;image ne tiennent pas dans la mémoire restante.</translation>
    </message>
    <message>
        <source>No reader takes %1 files.</source>
        <translation>Aucun lecteur ne prend les fichiers %1.</translation>
    </message>
    <message>
        <source>%1: the picture is empty (%2).</source>
        <translation>%1&#xa0;: l&apos;image est vide (%2).</translation>
    </message>
    <message>
        <source>%1: a picture of %2 pixels is larger than Parvane can hold.</source>
        <translation>%1&#xa0;: une image de %2 pixels dépasse ce que Parvane peut contenir.</translation>
    </message>
    <message>
        <source>%1: the run-length data ends early.</source>
        <translation>%1&#xa0;: les données compressées (RLE) s&apos;arrêtent trop tôt.</translation>
    </message>
    <message>
        <source>%1: the run-length data ends in row %2.</source>
        <translation>%1&#xa0;: les données compressées (RLE) s&apos;arrêtent à la ligne %2.</translation>
    </message>
    <message>
        <source>%1: pixels of %2 bits are not read.</source>
        <translation>%1&#xa0;: les pixels de %2 bits ne sont pas lus.</translation>
    </message>
    <message>
        <source>%1: compression %2 is not read.</source>
        <translation>%1&#xa0;: la compression %2 n&apos;est pas lue.</translation>
    </message>
    <message>
        <source>TGA: image type 0 holds no picture.</source>
        <translation>TGA&#xa0;: le type d&apos;image 0 ne contient aucune image.</translation>
    </message>
    <message>
        <source>TGA: image type %1 is not read.</source>
        <translation>TGA&#xa0;: le type d&apos;image %1 n&apos;est pas lu.</translation>
    </message>
    <message>
        <source>TGA: image type %1 with pixels of %2 bits is not read.</source>
        <translation>TGA&#xa0;: le type d&apos;image %1 avec des pixels de %2 bits n&apos;est pas lu.</translation>
    </message>
    <message>
        <source>TGA: colour map entries of %1 bits are not read.</source>
        <translation>TGA&#xa0;: les entrées de palette de %1 bits ne sont pas lues.</translation>
    </message>
    <message>
        <source>PSD: version %1 is not read.</source>
        <translation>PSD&#xa0;: la version %1 n&apos;est pas lue.</translation>
    </message>
    <message>
        <source>PSD: colour mode %1 is not read.</source>
        <translation>PSD&#xa0;: le mode colorimétrique %1 n&apos;est pas lu.</translation>
    </message>
    <message>
        <source>PSD: channels of %1 bits are not read.</source>
        <translation>PSD&#xa0;: les couches de %1 bits ne sont pas lues.</translation>
    </message>
    <message>
        <source>PSD: the picture has no channels.</source>
        <translation>PSD&#xa0;: l&apos;image n&apos;a aucune couche.</translation>
    </message>
    <message>
        <source>PNG: the file does not begin with the PNG signature.</source>
        <translation>PNG&#xa0;: le fichier ne commence pas par la signature PNG.</translation>
    </message>
    <message>
        <source>PNG: the file ends before its picture does.</source>
        <translation>PNG&#xa0;: le fichier s&apos;arrête avant la fin de son image.</translation>
    </message>
    <message>
        <source>PNG: the %1 chunk fails its CRC check.</source>
        <translation>PNG&#xa0;: le bloc %1 échoue à son contrôle CRC.</translation>
    </message>
    <message>
        <source>PNG: the compressed pixel data is damaged (%1).</source>
        <translation>PNG&#xa0;: les données compressées des pixels sont endommagées (%1).</translation>
    </message>
    <message>
        <source>PNG: %1 bytes of pixel data cannot hold a picture of %2.</source>
        <translation>PNG&#xa0;: %1&#xa0;octets de données de pixels ne peuvent pas contenir une image de %2.</translation>
    </message>
    <message>
        <source>PNG: the file is damaged (%1).</source>
        <translation>PNG&#xa0;: le fichier est endommagé (%1).</translation>
    </message>
    <message>
        <source>PCX: the first byte is not 10 or 205.</source>
        <translation>PCX&#xa0;: le premier octet n&apos;est ni 10 ni 205.</translation>
    </message>
    <message>
        <source>PCX: %1 planes of %2 bits are not read.</source>
        <translation>PCX&#xa0;: %1 plans de %2 bits ne sont pas lus.</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Aucun nom de fichier n&apos;a été donné.</translation>
    </message>
    <message>
        <source>The name is that of a folder.</source>
        <translation>Ce nom est celui d&apos;un dossier.</translation>
    </message>
    <message>
        <source>The file is read-only (%1).</source>
        <translation>Le fichier est en lecture seule (%1).</translation>
    </message>
    <message>
        <source>The folder cannot be written (%1).</source>
        <translation>Le dossier ne peut pas être écrit (%1).</translation>
    </message>
    <message>
        <source>Writing failed (%1).</source>
        <translation>L&apos;écriture a échoué (%1).</translation>
    </message>
    <message>
        <source>Setting the file&apos;s permissions failed (%1).</source>
        <translation>Les droits du fichier n&apos;ont pas pu être fixés (%1).</translation>
    </message>
    <message>
        <source>Replacing the file failed (%1).</source>
        <translation>Le remplacement du fichier a échoué (%1).</translation>
    </message>
    <message>
        <source>The picture is too large for a BMP file.</source>
        <translation>L&apos;image est trop grande pour un fichier BMP.</translation>
    </message>
    <message>
        <source>A TGA picture is at most %1 pixels on each side.</source>
        <translation>Une image TGA a au plus %1 pixels de côté.</translation>
    </message>
    <message>
        <source>,</source>
        <comment>thousands separator of counts such as 65,554</comment>
        <translation>&#x202f;</translation>
    </message>
    <message>
        <source>the file ends inside its palettes</source>
        <translation>le fichier s&apos;arrête au milieu de ses palettes</translation>
    </message>
    <message>
        <source>the file ends before its page count</source>
        <translation>le fichier s&apos;arrête avant son nombre de pages</translation>
    </message>
    <message>
        <source>the file ends inside its texture header</source>
        <translation>le fichier s&apos;arrête au milieu de son en-tête de textures</translation>
    </message>
    <message>
        <source>page count %1 is beyond the %2 pages a strip can hold</source>
        <translation>le nombre de pages %1 dépasse les %2 pages qu&apos;une bande peut contenir</translation>
    </message>
    <message>
        <source>%1 texture pages need %2 bytes, only %3 are left</source>
        <translation>%1 pages de textures demandent %2 octets, il n&apos;en reste que %3</translation>
    </message>
    <message>
        <source>the level data declares %1 bytes, only %2 are left</source>
        <translation>les données du niveau annoncent %1 octets, il n&apos;en reste que %2</translation>
    </message>
    <message>
        <source>a room declares %1 bytes, only %2 are left</source>
        <translation>une salle annonce %1 octets, il n&apos;en reste que %2</translation>
    </message>
    <message>
        <source>the file is larger than %1 MiB</source>
        <translation>le fichier dépasse %1 Mio</translation>
    </message>
    <message>
        <source>BMP: the file does not begin with BM.</source>
        <translation>BMP&#xa0;: le fichier ne commence pas par BM.</translation>
    </message>
    <message>
        <source>BMP: the file is shorter than its headers.</source>
        <translation>BMP&#xa0;: le fichier est plus court que ses en-têtes.</translation>
    </message>
    <message>
        <source>BMP: embedded JPEG or PNG pictures are not read.</source>
        <translation>BMP&#xa0;: les images JPEG ou PNG incorporées ne sont pas lues.</translation>
    </message>
    <message>
        <source>BMP: the pixel rows run past the end of the file.</source>
        <translation>BMP&#xa0;: les lignes de pixels dépassent la fin du fichier.</translation>
    </message>
    <message>
        <source>BMP: a pixel uses a colour beyond the palette.</source>
        <translation>BMP&#xa0;: un pixel utilise une couleur hors de la palette.</translation>
    </message>
    <message>
        <source>PSD: the file does not begin with 8BPS.</source>
        <translation>PSD&#xa0;: le fichier ne commence pas par 8BPS.</translation>
    </message>
    <message>
        <source>PSD: bitmap mode with channels of %1 bits.</source>
        <translation>PSD&#xa0;: mode bitmap avec des couches de %1 bits.</translation>
    </message>
    <message>
        <source>PSD: %1 channels are too few for colour mode %2.</source>
        <translation>PSD&#xa0;: %1 couches sont trop peu pour le mode colorimétrique %2.</translation>
    </message>
    <message>
        <source>PSD: 1-bit channels outside bitmap mode are not read.</source>
        <translation>PSD&#xa0;: les couches de 1 bit hors du mode bitmap ne sont pas lues.</translation>
    </message>
    <message>
        <source>PSD: indexed colour with channels of %1 bits is not read.</source>
        <translation>PSD&#xa0;: les couleurs indexées avec des couches de %1 bits ne sont pas lues.</translation>
    </message>
    <message>
        <source>PSD: the indexed picture lacks its 768-byte palette.</source>
        <translation>PSD&#xa0;: il manque à l&apos;image indexée sa palette de 768 octets.</translation>
    </message>
    <message>
        <source>PSD: packed row %1 is damaged.</source>
        <translation>PSD&#xa0;: la ligne compressée %1 est endommagée.</translation>
    </message>
    <message>
        <source>PSD: packed row %1 of channel %2 is damaged.</source>
        <translation>PSD&#xa0;: la ligne compressée %1 de la couche %2 est endommagée.</translation>
    </message>
    <message>
        <source>PCX: the file is shorter than its 128-byte header.</source>
        <translation>PCX&#xa0;: le fichier est plus court que son en-tête de 128 octets.</translation>
    </message>
    <message>
        <source>PCX: the picture window ends before it starts.</source>
        <translation>PCX&#xa0;: la fenêtre de l&apos;image se termine avant de commencer.</translation>
    </message>
    <message>
        <source>PCX: %1 bytes per line are too few for a width of %2.</source>
        <translation>PCX&#xa0;: %1 octets par ligne sont trop peu pour une largeur de %2.</translation>
    </message>
    <message>
        <source>PCX: the raw pixel data ends before the last row.</source>
        <translation>PCX&#xa0;: les pixels non compressés s&apos;arrêtent avant la dernière ligne.</translation>
    </message>
    <message>
        <source>PCX: the run-length data is far too short for the picture.</source>
        <translation>PCX&#xa0;: les données compressées (RLE) sont bien trop courtes pour l&apos;image.</translation>
    </message>
    <message>
        <source>PSP: file shorter than its header</source>
        <translation>PSP&#xa0;: le fichier est plus court que son en-tête</translation>
    </message>
    <message>
        <source>PSP: no Paint Shop Pro signature</source>
        <translation>PSP&#xa0;: la signature des fichiers PSP est absente</translation>
    </message>
    <message>
        <source>PSP: major version %1 is older than 3</source>
        <translation>PSP&#xa0;: la version majeure %1 est antérieure à la 3</translation>
    </message>
    <message>
        <source>PSP: block marker missing at offset %1</source>
        <translation>PSP&#xa0;: marqueur de bloc absent à la position %1</translation>
    </message>
    <message>
        <source>PSP: block %1 runs past the end</source>
        <translation>PSP&#xa0;: le bloc %1 dépasse la fin des données</translation>
    </message>
    <message>
        <source>PSP: block %1 has a damaged header</source>
        <translation>PSP&#xa0;: l&apos;en-tête du bloc %1 est endommagé</translation>
    </message>
    <message>
        <source>PSP: image attributes are cut short</source>
        <translation>PSP&#xa0;: les attributs de l&apos;image sont tronqués</translation>
    </message>
    <message>
        <source>PSP: damaged colour palette</source>
        <translation>PSP&#xa0;: la palette de couleurs est endommagée</translation>
    </message>
    <message>
        <source>PSP: no image attributes block</source>
        <translation>PSP&#xa0;: aucun bloc d&apos;attributs de l&apos;image</translation>
    </message>
    <message>
        <source>PSP: %1-bit pictures are not supported</source>
        <translation>PSP&#xa0;: les images de %1 bits ne sont pas prises en charge</translation>
    </message>
    <message>
        <source>PSP: compression %1 is not supported</source>
        <translation>PSP&#xa0;: la compression %1 n&apos;est pas prise en charge</translation>
    </message>
    <message>
        <source>PSP: %1 bytes cannot hold a picture of %2x%3</source>
        <translation>PSP&#xa0;: %1 octets ne peuvent pas contenir une image de %2x%3</translation>
    </message>
    <message>
        <source>PSP: %1 pixels are beyond this decode&apos;s limit of %2</source>
        <translation>PSP&#xa0;: %1 pixels dépassent la limite de %2 de ce décodage</translation>
    </message>
    <message>
        <source>PSP: the file holds neither a composite image nor layers</source>
        <translation>PSP&#xa0;: le fichier ne contient ni image composite ni calques</translation>
    </message>
    <message>
        <source>PSP: damaged composite image</source>
        <translation>PSP&#xa0;: l&apos;image composite est endommagée</translation>
    </message>
    <message>
        <source>PSP: channel data runs past its block</source>
        <translation>PSP&#xa0;: les données d&apos;une couche dépassent leur bloc</translation>
    </message>
    <message>
        <source>PSP: %1 bytes of channel data cannot fill %2x%3 pixels</source>
        <translation>PSP&#xa0;: %1 octets de données de couche ne peuvent pas remplir %2x%3 pixels</translation>
    </message>
    <message>
        <source>PSP: run-length channel data ends early</source>
        <translation>PSP&#xa0;: les données compressées (RLE) d&apos;une couche s&apos;arrêtent trop tôt</translation>
    </message>
    <message>
        <source>PSP: deflate channel data is damaged</source>
        <translation>PSP&#xa0;: les données compressées (deflate) d&apos;une couche sont endommagées</translation>
    </message>
    <message>
        <source>PSP: JPEG-compressed channels are not supported</source>
        <translation>PSP&#xa0;: les couches compressées en JPEG ne sont pas prises en charge</translation>
    </message>
    <message>
        <source>PSP: a bitmap lacks one of its red, green and blue channels</source>
        <translation>PSP&#xa0;: il manque à une image l&apos;une de ses couches rouge, verte et bleue</translation>
    </message>
    <message>
        <source>PSP: a paletted bitmap lacks its index channel</source>
        <translation>PSP&#xa0;: il manque à une image en couleurs indexées sa couche d&apos;index</translation>
    </message>
    <message>
        <source>PSP: a layer is cut short</source>
        <translation>PSP&#xa0;: un calque est tronqué</translation>
    </message>
    <message>
        <source>PSP: a layer group is damaged</source>
        <translation>PSP&#xa0;: un groupe de calques est endommagé</translation>
    </message>
    <message>
        <source>PSP: layer bitmap information is damaged</source>
        <translation>PSP&#xa0;: les informations bitmap d&apos;un calque sont endommagées</translation>
    </message>
    <message>
        <source>PSP: a layer of %1x%2 pixels is too large</source>
        <translation>PSP&#xa0;: un calque de %1x%2 pixels est trop grand</translation>
    </message>
    <message>
        <source>PSP: layer groups nest more than %1 deep</source>
        <translation>PSP&#xa0;: les groupes de calques s&apos;imbriquent sur plus de %1 niveaux</translation>
    </message>
    <message>
        <source>PSP: masked or faded layer groups nest more than %1 deep</source>
        <translation>PSP&#xa0;: les groupes de calques masqués ou estompés s&apos;imbriquent sur plus de %1 niveaux</translation>
    </message>
    <message>
        <source>PSP: %1 bytes cannot hold layers of %2 pixels</source>
        <translation>PSP&#xa0;: %1 octets ne peuvent pas contenir des calques de %2 pixels</translation>
    </message>
    <message>
        <source>PSP: no visible raster layer to show</source>
        <translation>PSP&#xa0;: aucun calque matriciel visible à afficher</translation>
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
        <translation>Transparence&#xa0;: aucune</translation>
    </message>
    <message>
        <source>Transparency convert to magenta</source>
        <translation>Transparence&#xa0;: convertir en magenta</translation>
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
        <translation>Cette image était trop grande&#x202f;! Elle a été recadrée à %1 pixels.
Le canevas de droite ne reçoit que des jeux de textures standard.</translation>
    </message>
    <message>
        <source>Pointer position</source>
        <translation>Position du pointeur</translation>
    </message>
    <message>
        <source>Edit the Source picture</source>
        <translation>Modifier l&apos;image Source</translation>
    </message>
    <message>
        <source>Tiles tab</source>
        <translation>Onglet Tuiles</translation>
    </message>
    <message>
        <source>Tile budget</source>
        <translation>Budget de tuiles</translation>
    </message>
    <message>
        <source>Tolerance</source>
        <translation>Tolérance</translation>
    </message>
    <message>
        <source>Turned copies</source>
        <translation>Copies tournées</translation>
    </message>
    <message>
        <source>Show copies</source>
        <translation>Montrer les copies</translation>
    </message>
    <message>
        <source>Compact tiles</source>
        <translation>Compacter les tuiles</translation>
    </message>
    <message>
        <source>Export index map</source>
        <translation>Exporter la table d’index</translation>
    </message>
    <message>
        <source>Wrap preview</source>
        <translation>Aperçu en mosaïque</translation>
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
    <name>parvane::app::WrapPreview</name>
    <message>
        <source>Wrap preview picture</source>
        <translation>Image de l’aperçu en mosaïque</translation>
    </message>
    <message>
        <source>Half offset</source>
        <translation>Demi-décalage</translation>
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
        <translation>Erreur JPEG n°&#xa0;%1</translation>
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
    <message>
        <source>The level file is damaged and could not be read.</source>
        <translation>Le fichier de niveau est endommagé et n&apos;a pas pu être lu.</translation>
    </message>
    <message>
        <source>The level file could not be read.</source>
        <translation>Le fichier de niveau n&apos;a pas pu être lu.</translation>
    </message>
</context>
</TS>
