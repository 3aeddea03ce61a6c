CREATE PROCEDURE PKZM_RP06_3 (
DTP DATE,
ANALIZA SMALLINT)
RETURNS (
NR INTEGER,
GRW INTEGER,
LPW INTEGER,
ILE FLOAT)
AS
DECLARE VARIABLE MAXKODOPER INTEGER;
DECLARE VARIABLE ID020 INTEGER;
DECLARE VARIABLE ID030 INTEGER;
DECLARE VARIABLE ID110 INTEGER;
DECLARE VARIABLE P20_LPW INTEGER;
DECLARE VARIABLE P40_GRW INTEGER;
DECLARE VARIABLE P40_LPW INTEGER;
DECLARE VARIABLE P80_GRW INTEGER;
DECLARE VARIABLE P80_LPW INTEGER;
DECLARE VARIABLE P150_GRW INTEGER;
DECLARE VARIABLE P150_LPW INTEGER;
DECLARE VARIABLE DZIEN DATE;
DECLARE VARIABLE DZIEN_DO DATE;
DECLARE VARIABLE D_DZIEN DATE;
DECLARE VARIABLE NR_DO INTEGER;
DECLARE VARIABLE Z_GRW INTEGER;
DECLARE VARIABLE Z_LPW INTEGER;
DECLARE VARIABLE OST_GRW INTEGER;
DECLARE VARIABLE N INTEGER;
DECLARE VARIABLE K_ID INTEGER;
DECLARE VARIABLE C1 INTEGER;
DECLARE VARIABLE C2 INTEGER;
DECLARE VARIABLE C3 INTEGER;
DECLARE VARIABLE C4 INTEGER;
DECLARE VARIABLE C5 INTEGER;
DECLARE VARIABLE C6 INTEGER;
DECLARE VARIABLE C7 INTEGER;
DECLARE VARIABLE W_WOJ INTEGER;
DECLARE VARIABLE W_CYW INTEGER;
DECLARE VARIABLE PSY INTEGER;
BEGIN
  DELETE FROM KZM_RP00;

  SELECT PINTEGER FROM PKZM_READPARI('MAXKODOPER') INTO :MAXKODOPER;
  SELECT PINTEGER FROM PKZM_READPARI('IDSTAWKA020') INTO :ID020;
  SELECT PINTEGER FROM PKZM_READPARI('IDSTAWKA030') INTO :ID030;
  SELECT PINTEGER FROM PKZM_READPARI('IDSTAWKA110') INTO :ID110;

  /* The columns of the allowances paid outside the kitchen; the P20 column totals P40, P80
     and P150 as well. A missing event type leaves its column unset. */
  P20_LPW = NULL;
  P40_GRW = NULL;
  P40_LPW = NULL;
  P80_GRW = NULL;
  P80_LPW = NULL;
  P150_GRW = NULL;
  P150_LPW = NULL;
  SELECT Z.LPW FROM KZM_ZDARZ Z WHERE Z.SKROT = 'P20' INTO :P20_LPW;
  SELECT Z.GRW, Z.LPW FROM KZM_ZDARZ Z WHERE Z.SKROT = 'P40' INTO :P40_GRW, :P40_LPW;
  SELECT Z.GRW, Z.LPW FROM KZM_ZDARZ Z WHERE Z.SKROT = 'P80' INTO :P80_GRW, :P80_LPW;
  SELECT Z.GRW, Z.LPW FROM KZM_ZDARZ Z WHERE Z.SKROT = 'P150' INTO :P150_GRW, :P150_LPW;

  /* One line per month: the first runs from DTP to the end of its month, each further one
     over the following calendar month. Lines are numbered from 1 for the whole year, or
     only ANALIZA for that one month. */
  IF (ANALIZA = -1) THEN
  BEGIN
    NR = 1;
    NR_DO = 12;
  END
  ELSE
  BEGIN
    NR = ANALIZA;
    NR_DO = ANALIZA;
  END
  DZIEN = DTP;
  WHILE (NR <= NR_DO) DO
  BEGIN
    DZIEN_DO = DATEADD(MONTH, 1, DZIEN - EXTRACT(DAY FROM DZIEN) + 1) - 1;

    /* The month is counted day by day into its line, so that every count reads one day's
       index entries; the zero cells of the days add up to the month's. */
    D_DZIEN = DZIEN;
    WHILE (D_DZIEN <= DZIEN_DO) DO
    BEGIN
      /* Every printed event type, even when no row has it. A row without an event type (0)
         counts in no column, even where an event type was given the key 0. */
      OST_GRW = NULL;
      FOR SELECT Z.GRW, Z.LPW, COALESCE(C.ILE, 0)
          FROM KZM_ZDARZ Z
          LEFT JOIN (SELECT D.IDZDARZ, COUNT(*) AS ILE FROM KZM_DANE D
                     WHERE D.DATA = :D_DZIEN AND D.IDZDARZ <> 0
                     GROUP BY D.IDZDARZ) C ON C.IDZDARZ = Z.ID
          WHERE Z.GRW > 0
          ORDER BY Z.GRW, Z.LPW
          INTO :Z_GRW, :Z_LPW, :N
      DO
      BEGIN
        INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, :Z_GRW, :Z_LPW, :N);
        /* A day of P40, P80 or P150 also counts in the P20 column of its group. */
        IF (P20_LPW IS NOT NULL AND
            ((Z_GRW = P40_GRW AND Z_LPW = P40_LPW) OR
             (Z_GRW = P80_GRW AND Z_LPW = P80_LPW) OR
             (Z_GRW = P150_GRW AND Z_LPW = P150_LPW))) THEN
          INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, :Z_GRW, :P20_LPW, :N);
        OST_GRW = Z_GRW;
      END

      /* Payout classes by food rate and resulting percentage: 020 at 60, 100 and 200 %,
         030 at 60 and 100 %, 110 at 70 and 150 %. The 110 payout is read from STAWKA_DW110:
         the plan procedures copy it there from the event type and write RSTAWKA_DW110 only
         as 0, and the payout lists pay the 110 days by STAWKA_DW110 too. */
      SELECT
        COALESCE(SUM(IIF((D.IDSTAWKA = :ID020 AND COALESCE(D.RSTAWKA_DW, 0) = 60), 1, 0)), 0),
        COALESCE(SUM(IIF((D.IDSTAWKA = :ID020 AND COALESCE(D.RSTAWKA_DW, 0) = 100), 1, 0)), 0),
        COALESCE(SUM(IIF((D.IDSTAWKA = :ID020 AND COALESCE(D.RSTAWKA_DW, 0) = 200), 1, 0)), 0),
        COALESCE(SUM(IIF((D.IDSTAWKA = :ID030 AND COALESCE(D.RSTAWKA_DW, 0) = 60), 1, 0)), 0),
        COALESCE(SUM(IIF((D.IDSTAWKA = :ID030 AND COALESCE(D.RSTAWKA_DW, 0) = 100), 1, 0)), 0),
        COALESCE(SUM(IIF((COALESCE(D.STAWKA_DW110, 0) = 70), 1, 0)), 0),
        COALESCE(SUM(IIF((COALESCE(D.STAWKA_DW110, 0) = 150), 1, 0)), 0),
        COALESCE(SUM(IIF(D.RWODA = 1 AND D.NR_OPER < :MAXKODOPER, 1, 0)), 0),
        COALESCE(SUM(IIF(D.RWODA = 1 AND D.NR_OPER >= :MAXKODOPER, 1, 0)), 0)
      FROM KZM_DANE D
      WHERE D.DATA = :D_DZIEN
      INTO :C1, :C2, :C3, :C4, :C5, :C6, :C7, :W_WOJ, :W_CYW;
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 101, :C1);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 102, :C2);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 103, :C3);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 104, :C4);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 105, :C5);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 106, :C6);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 3, 107, :C7);

      /* Every correction code, under the group of the last printed event type. */
      FOR SELECT S.ID, COALESCE(C.ILE, 0)
          FROM KZM_SZKODY_2 S
          LEFT JOIN (SELECT D.POPRAWKA, COUNT(*) AS ILE FROM KZM_DANE D
                     WHERE D.DATA = :D_DZIEN
                     GROUP BY D.POPRAWKA) C ON C.POPRAWKA = S.ID
          ORDER BY S.ID
          INTO :K_ID, :N
      DO
        INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, :OST_GRW, 300 + :K_ID, :N);

      /* Days under correction 5 add to the column of the event type they name; an event type
         that is missing or not printed has no column to add to. */
      FOR SELECT Z.GRW, Z.LPW, C.ILE
          FROM (SELECT D.S5, COUNT(*) AS ILE FROM KZM_DANE D
                WHERE D.DATA = :D_DZIEN AND D.S5 > 0
                GROUP BY D.S5) C
          JOIN KZM_ZDARZ Z ON Z.ID = C.S5
          WHERE Z.GRW > 0
          INTO :Z_GRW, :Z_LPW, :N
      DO
        INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, :Z_GRW, :Z_LPW, :N);

      /* Water rations of soldiers and of civilians. */
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 200, 201, :W_WOJ);
      INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 200, 202, :W_CYW);

      D_DZIEN = D_DZIEN + 1;
    END

    /* The month's dog rations, 0 when it has none. */
    PSY = NULL;
    SELECT SUM(P.ILOSC) FROM KZM_PSY P WHERE P.DATA >= :DZIEN AND P.DATA <= :DZIEN_DO
    INTO :PSY;
    INSERT INTO KZM_RP00 (NR, GRW, LPW, ILE) VALUES (:NR, 999, 999, COALESCE(:PSY, 0));

    DZIEN = DZIEN_DO + 1;
    NR = NR + 1;
  END

  FOR SELECT R.NR, R.GRW, R.LPW, SUM(R.ILE) FROM KZM_RP00 R
      GROUP BY R.NR, R.GRW, R.LPW
      ORDER BY R.NR, R.GRW, R.LPW
      INTO :NR, :GRW, :LPW, :ILE
  DO
    SUSPEND;
END;
