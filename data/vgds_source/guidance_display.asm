; guidance_display.asm - guidance display with azimuth guidance and closing-rate bars.
; The parameter source comes first: its values open the model data at fixed offsets.
        include guidance_display_0.asm

; model header: magic, format version, part count, offsets of the tables (from the data start)
model_header:
        dd      0D0C1A001h                 ; model magic
        dw      1, 0                    ; format version 1.0
        dw      part_count
        dw      vertex_count
        dd      vertex_table
        dd      colour_table
        dd      part_table
        dd      model_end               ; size of the model data
        dd      parameter_block         ; where the stand parameters lie

part_count      equ     3
vertex_count    equ     8
housing_depth   equ     0.35

; unit scale and the height of the display's centre above the apron
model_scale     real4   0.01
centre_height   real8   5.25
depth           real4   housing_depth

; housing corners: x, y, z in centimetres
vertex_table:
        dw      -60, -40, 0
        dw       60, -40, 0
        dw       60,  40, 0
        dw      -60,  40, 0
        dw      -60, -40, -35
        dw       60, -40, -35
        dw       60,  40, -35
        dw      -60,  40, -35

; colours: red, green, blue, alpha
colour_table:
housing_colour  db      40, 40, 44, 255
display_colour  db      255, 196, 0, 255
bar_colour      db      255, 32, 16, 255

; parts: first vertex, vertex count, colour index
part_table:
        dw      0, 8, 0                 ; housing
        dw      0, 4, 1                 ; display face
        dw      4, 4, 2                 ; closing-rate bars
model_end:
