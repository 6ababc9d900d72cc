; nose_in.asm - nose-in sign facing the aircraft.
; The parameter source comes first: its values open the model data at fixed offsets.
        include nose_in_0.asm

; model header: magic, format version, part count, offsets of the tables (from the data start)
model_header:
        dd      0E05E1A00h                 ; model magic
        dw      1, 0                    ; format version 1.0
        dw      part_count
        dw      vertex_count
        dd      vertex_table
        dd      colour_table
        dd      part_table
        dd      model_end               ; size of the model data
        dd      parameter_block         ; where the stand parameters lie

part_count      equ     2
vertex_count    equ     6
arrow_tip       equ     50

model_scale     real4   1.0e-2
centre_height   real8   3.75

vertex_table:                           ; x, y, z in centimetres
        dw      -50, -25, 0
        dw       50, -25, 0
        dw       50,  25, 0
        dw      -50,  25, 0
        dw        0, arrow_tip, 0
        dw        0, arrow_base, 0
arrow_base      equ     -10             ; defined after its use on purpose

colour_table:                           ; red, green, blue, alpha
        db      16, 64, 160, 255
        db      255, 255, 255, 255

part_table:                             ; first vertex, vertex count, colour index
        dw      0, 4, 0
        dw      3, 3, 1
model_end:
